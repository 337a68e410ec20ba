# ESC, the close button and F1 during the show.
. "$(dirname "$0")/lib.bash"

start --loop
waitWindow
sleep 1
press Escape
waitExit 20
[ "$CODE" = 0 ] || fail "ESC gave exit code $CODE"

start --loop
waitWindow
sleep 1
"$XCLOSE" "$TITLE" || fail "could not ask the window to close"
waitExit 20
[ "$CODE" = 0 ] || fail "closing the window gave exit code $CODE"

# F1 twice: full screen (the screen's size under Xvfb) and back, while the
# clock runs on: the show still ends 6 s after its start.
start --start 179
waitWindow
sleep 1
[ "$(geometry)" = "640x480" ] || fail "window is $(geometry), not 640x480"
press F1
sleep 1
waitWindow
SCREEN=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\).*/\1/p')
[ "$(geometry)" = "$SCREEN" ] || fail "full screen is $(geometry), not $SCREEN"
press F1
sleep 1
waitWindow
[ "$(geometry)" = "640x480" ] || fail "back from full screen is $(geometry)"
# A window squeezed to one row keeps drawing.
xdotool windowsize "$WID" 640 1
sleep 0.5
kill -0 "$PID" 2>/dev/null || fail "the program ended after a resize to one row"
waitExit 30
[ "$CODE" = 0 ] || fail "exit code $CODE after F1"
echo ok
