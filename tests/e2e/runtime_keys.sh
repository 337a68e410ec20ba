# ESC, the close button and F1 during the show.
. "$(dirname "$0")/lib.bash"

start --loop
waitWindow
press Escape ended || fail "ESC did not end the show"
waitExit 30
[ "$CODE" = 0 ] || fail "ESC gave exit code $CODE"

start --loop
waitWindow
"$XCLOSE" "$TITLE" || fail "could not ask the window to close"
waitExit 30
[ "$CODE" = 0 ] || fail "closing the window gave exit code $CODE"

# F1 twice: full screen (the screen's size under Xvfb) and back, while the
# clock runs on: the show still ends by itself 35 s after its start.
start --start 150
waitWindow
waitGeometry 640x480
SCREEN=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\).*/\1/p')
press F1 hasGeometry "$SCREEN" || fail "F1 gave a window of $(geometry), not $SCREEN"
press F1 hasGeometry 640x480 || fail "the second F1 gave a window of $(geometry), not 640x480"
# A window squeezed to one row keeps drawing: the show carries on to its end.
xdotool windowsize "$WID" 640 1
waitExit 120
[ "$CODE" = 0 ] || fail "exit code $CODE after F1 and a resize to one row"
echo ok
