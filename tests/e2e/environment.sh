# What the machine may lack or refuse: an audio device, a display; and a
# window minimised and restored during the show. (A full-screen mode the
# display refuses: fullscreen.sh; a folder a capture cannot write:
# capture.sh; a desktop that cannot be read: the DesktopCapture tests.)
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'

# No audio device: the sound system reports it once and the show runs silent
# to its end.
SDL_AUDIODRIVER=nosuchdevice "$BIN" --resolution 640x480 --start 183 >"$OUT/audio.txt" 2>&1
CODE=$?
[ "$CODE" = 0 ] || fail "exit code $CODE without an audio device"
grep -q "FMOD error! (48)" "$OUT/audio.txt" || fail "no word about the missing audio device"

# No display at all: no window can be made; the reason, exit code 0.
env -u DISPLAY "$BIN" --resolution 640x480 >"$OUT/nodisplay.txt" 2>&1
CODE=$?
[ "$CODE" = 0 ] || fail "exit code $CODE without a display"
grep -q "Failed To Register The Window Class." "$OUT/nodisplay.txt" || fail "no reason given without a display"

# Where the kernel gives huge pages only to memory that asks, the program
# runs again at once with malloc asking, unless the caller said no.
THP=$(cat /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null)
hugeKb() { sed -n 's/^AnonHugePages: *\([0-9]*\) kB/\1/p' "/proc/$PID/smaps_rollup"; }
for preset in "" glibc.malloc.arena_max=4 glibc.malloc.hugetlb=0; do
  GLIBC_TUNABLES=$preset start --resolution 640x480 --start 175
  waitWindow
  HUGE=$(hugeKb)
  case "$THP:$preset" in
    *"[madvise]"*:*hugetlb=0) [ "$HUGE" = 0 ] || fail "$HUGE kB on huge pages with '$preset'" ;;
    *"[madvise]"*) [ "${HUGE:-0}" -gt 0 ] || fail "no huge pages with '$preset'" ;;
  esac
  press Escape ended || fail "ESC did not end the show with '$preset'"
  waitExit 30
  [ "$CODE" = 0 ] || fail "exit code $CODE with GLIBC_TUNABLES '$preset'"
done

# Minimised and restored: a window manager marks the window hidden in
# _NET_WM_STATE (which SDL reports as minimised) and later clears it. While
# minimised nothing is drawn, so the picture stands still; restored, it moves
# again. The clock runs on meanwhile: minimised past the show's end, the show
# ends as soon as it is restored.
bright() { "$XBRIGHT" "$TITLE" 0 0 640 480 2>/dev/null; }
minimise() { xprop -id "$WID" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN; }
restore() { xprop -id "$WID" -remove _NET_WM_STATE; }
# changes / stands: whether the picture changes within 3 s (a frame of a
# loaded machine takes far less).
changes() {
  local first
  first=$(bright)
  sleep 3
  [ "$(bright)" != "$first" ]
}
stands() { ! changes; }
# showing: the picture has changed more often than the loading draws (the
# window's first picture and six loading screens), so the show draws. Changes
# missed between two looks only make it later.
LAST="" CHANGES=0
showing() {
  local now
  now=$(bright)
  if [ -n "$now" ] && [ "$now" != "$LAST" ]; then CHANGES=$((CHANGES + 1)) LAST=$now; fi
  [ "$CHANGES" -gt 8 ]
}
start --resolution 640x480 --start 130
waitWindow
waitFor 120 showing || fail "the show did not start"
SHOWN=$(date +%s)  # the show clock read 130 s or more by then
minimise
waitFor 60 stands || fail "the minimised window kept drawing"
stands || fail "the minimised window drew again"
restore
waitFor 60 changes || fail "the restored window does not draw"
minimise
# Until the show clock has passed 185 s, with time to spare.
waitFor 120 eval '[ $(( $(date +%s) - SHOWN )) -gt 60 ]'
running || fail "the show ended while minimised"
restore
waitExit 15  # a clock stopped while minimised would leave most of the 55 s to play
[ "$CODE" = 0 ] || fail "exit code $CODE after minimising"
echo ok
