# The settings dialog: where it appears and how it bounces, OK and Cancel (the
# button, ESC, the close button), and the choices it hands to the show.
. "$(dirname "$0")/lib.bash"
DIALOG="Parallaxis"

# findDialog: true when the settings dialog exists; sets DLG.
findDialog() {
  DLG=$(xdotool search --name "^${DIALOG}\$" 2>/dev/null | tail -n1)
  [ -n "$DLG" ] && return 0
  running || fail "the program ended before the dialog appeared"
  return 1
}

# startDialog: starts the program and waits up to 60 s for the settings dialog.
startDialog() {
  start
  waitFor 60 findDialog || fail "no dialog after 60 s"
}

# position: prints the dialog's "X Y".
position() {
  xdotool getwindowgeometry "$DLG" 2>/dev/null |
    sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p'
}

# click X Y: clicks at a point of the dialog.
click() {
  read -r DX DY <<< "$(position)"
  xdotool mousemove --sync $((DX + $1)) $((DY + $2)) click 1
}

# covered X Y: whether another window (an open list) lies over that point of
# the dialog; the pointer is moved there.
covered() {
  read -r DX DY <<< "$(position)"
  xdotool mousemove --sync $((DX + $1)) $((DY + $2))
  local under
  under=$(xdotool getmouselocation --shell | sed -n 's/^WINDOW=//p')
  [ -n "$under" ] && [ "$under" != "$DLG" ]
}

# atRest: the bounce is over: the dialog stands 3 pixels above the centre and
# has not moved for a second (its last ticks move it by a pixel at most).
atRest() {
  [ "$(position)" = "$CX $(( CY - 3 ))" ] || return 1
  sleep 1
  [ "$(position)" = "$CX $(( CY - 3 ))" ]
}
waitRest() { waitFor 60 atRest || fail "the dialog is at $(position), not at rest at $CX $(( CY - 3 ))"; }

# key KEY...: types keys into the dialog.
key() {
  xdotool windowfocus --sync "$DLG" 2>/dev/null
  xdotool key "$@"
}

read -r SW SH <<< "$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) .*/\1 \2/p')"
CX=$(( (SW - 321) / 2 ))
CY=$(( (SH - 224) / 2 ))

# Centred, bouncing: between the centre and 176 pixels above it, and at rest
# 3 pixels above it (where only the bounce leaves it) once the 201 ticks are
# over. The heights of each tick are the SettingsDialog tests'; sampled from
# out here they depend on the machine's speed. Then Enter is OK.
startDialog
[ "$(xdotool getwindowgeometry "$DLG" | sed -n 's/.*Geometry: //p')" = "321x224" ] ||
  fail "the dialog is not 321x224"
inRange() {
  read -r X Y <<< "$(position)"
  [ "$X" = "$CX" ] || fail "dialog left edge at $X, not centred at $CX"
  H=$(( CY - Y ))
  { [ "$H" -ge 0 ] && [ "$H" -le 176 ]; } || fail "dialog top $Y is $H pixels above the centre"
}
waitFor 60 eval 'inRange && atRest' || fail "the dialog is at $(position), not at rest at $CX $(( CY - 3 ))"
key Return
waitWindow
[ "$(geometry)" = "640x480" ] || fail "OK without changes gave $(geometry), not 640x480"
[ -z "$(xdotool search --name "^${DIALOG}\$" 2>/dev/null)" ] || fail "the dialog is still there"
# The frame-rate overlay ("FPS: %d" at the bottom left) is off: neither the
# loading screens nor the show's opening (the desktop, black under Xvfb) light
# that corner.
[ "$("$XBRIGHT" "$TITLE" 0 440 250 40)" = 0 ] || fail "an overlay is drawn without Show FPS"
"$XCLOSE" "$TITLE" || fail "could not close the show"
waitExit 30
[ "$CODE" = 0 ] || fail "exit code $CODE after closing the show"

# ESC, the close button and "Abbrechen" end the program with 18 at once.
startDialog
key Escape
waitExit 30
[ "$CODE" = 18 ] || fail "ESC gave exit code $CODE"
startDialog
"$XCLOSE" "$DIALOG" || fail "could not ask the dialog to close"
waitExit 30
[ "$CODE" = 18 ] || fail "the close button gave exit code $CODE"
startDialog
waitRest
click 270 50  # "Abbrechen"
waitExit 30
[ "$CODE" = 18 ] || fail "Abbrechen gave exit code $CODE"

# "800x600" from the list, "Show FPS" checked and "Windowed" unchecked, by
# mouse: a full-screen show (under Xvfb the screen's one mode) with the
# frame-rate overlay. F1 then shows the chosen resolution in a window.
startDialog
waitRest
click 200 20  # the list's arrow
waitFor 30 covered 100 57 || fail "the list did not open"
click 100 57  # its second row
click 25 87   # "Show FPS"
click 25 68   # "Windowed"
click 270 20  # "OK"
waitWindow
waitGeometry "${SW}x${SH}"
# The overlay appears once the scenes have loaded and the show runs.
overlaid() {
  LIT=$("$XBRIGHT" "$TITLE" 0 $(( SH - 40 )) 250 40)
  [ "${LIT:-0}" -gt 20 ]
}
waitFor 60 overlaid || fail "no frame-rate overlay at the bottom left ($LIT bright pixels)"
press F1 hasGeometry 800x600 || fail "the chosen resolution is $(geometry), not 800x600"
press Escape ended || fail "ESC did not end the show"
waitExit 30
[ "$CODE" = 0 ] || fail "exit code $CODE after ESC"

# Typed text picks the row it names (in any case), anything else row 0.
for typed in "1024X768:1024x768" "abc:640x480"; do
  startDialog
  key Tab Tab
  xdotool type --delay 20 "${typed%%:*}"
  key Return
  waitWindow
  [ "$(geometry)" = "${typed##*:}" ] || fail "typing ${typed%%:*} gave $(geometry)"
  "$XCLOSE" "$TITLE"
  waitExit 30
done

# Without a display the dialog cannot open: the program says so, keeps the
# default settings, and then reports that no window can be opened.
OUT=$(env -u DISPLAY "$BIN" 2>&1)
CODE=$?
echo "$OUT" | grep -q "the settings dialog cannot open" || fail "no word about the dialog: $OUT"
[ "$CODE" = 0 ] || fail "exit code $CODE without a display"
echo ok
