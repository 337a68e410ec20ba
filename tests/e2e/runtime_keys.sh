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
# clock runs on: the show still ends by itself 15 s after its start.
start --start 170
waitWindow
sleep 1
waitGeometry 640x480
SCREEN=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\).*/\1/p')
press F1
waitGeometry "$SCREEN"
sleep 1  # let the new window settle and take the focus
press F1
waitGeometry 640x480
# A window squeezed to one row keeps drawing.
xdotool windowsize "$WID" 640 1
sleep 0.5
kill -0 "$PID" 2>/dev/null || fail "the program ended after a resize to one row"
waitExit 40
[ "$CODE" = 0 ] || fail "exit code $CODE after F1"
echo ok
