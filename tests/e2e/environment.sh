# What the machine may lack or refuse: an audio device, a display; and a
# window minimised and restored during the show. (A full-screen mode the
# display refuses: fullscreen.sh; a folder a capture cannot write:
# capture.sh; a desktop that cannot be read: the DesktopCapture tests.)
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

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

# Minimised and restored: a window manager marks the window hidden in
# _NET_WM_STATE (which SDL reports as minimised) and later clears it. While
# minimised nothing is drawn, so the picture stands still; restored, it moves
# again. The clock runs on meanwhile: minimised past the show's end, the show
# ends as soon as it is restored.
bright() { "$XBRIGHT" "$TITLE" 0 0 640 480; }
minimise() { xprop -id "$WID" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN; }
restore() { xprop -id "$WID" -remove _NET_WM_STATE; }
# moving: true when the picture changes within 3 s.
moving() {
  local first
  first=$(bright)
  for _ in 1 2 3 4 5 6; do
    sleep 0.5
    [ "$(bright)" != "$first" ] && return 0
  done
  return 1
}
start --resolution 640x480 --start 165
waitWindow
for _ in $(seq 60); do moving && break; done  # the scenes have loaded
minimise
sleep 1
a=$(bright); sleep 1; b=$(bright); sleep 1; c=$(bright)
if [ "$a" != "$b" ] || [ "$b" != "$c" ]; then fail "the minimised window kept drawing ($a, $b, $c)"; fi
restore
moving || fail "the restored window does not draw"
minimise
sleep 22
kill -0 "$PID" 2>/dev/null || fail "the show ended while minimised"
restore
waitExit 3
[ "$CODE" = 0 ] || fail "exit code $CODE after minimising"
echo ok
