# Full screen on displays that can and cannot switch modes, on an X server of
# our own (its modes are changed here): a display of one mode shows the show
# at its own size, and every frame fills it; a display with the exact mode
# switches to it and back, also when a scene cannot load; a display with
# modes, but not the asked one, asks "Use Windowed Mode Instead?".
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
trap 'kill "$XVFB" 2>/dev/null; rm -rf "$OUT"' EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset 3>"$OUT/display" >/dev/null 2>&1 &
XVFB=$!
waitFor 10 test -s "$OUT/display" || fail "no X server of our own"
export DISPLAY=":$(head -n1 "$OUT/display")"
screenSize() { xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\).*/\1/p'; }
# waitScreen WxH: waits up to 15 s for the display to be in that mode.
inMode() { [ "$(screenSize)" = "$1" ]; }
waitScreen() { waitFor 15 inMode "$1" || fail "the display is $(screenSize), not $1"; }

# lit X Y: pixels of the screen's 640 x 512 block at (X, Y) where the show draws
# (a channel of 8 or more: the skull scene's sky is dark).
lit() { "$XBRIGHT" --root "$1" "$2" 640 512 8; }

# One mode: asked for 640x480, the skull scene fills the whole 1280x1024
# screen, frame after frame (its cube-map pass sets the viewport itself, so
# only its first frame would fill it by the window's own viewport): three
# looks in a row, over a second or more, find every quarter lit.
start --fullscreen --start 150
waitGeometry 1280x1024
inRow=0
deadline=$((SECONDS + 30))
while [ "$inRow" -lt 3 ] && [ "$SECONDS" -lt "$deadline" ]; do
  counts=""
  filled=1
  for corner in "0 0" "640 0" "0 512" "640 512"; do
    n=$(lit $corner)
    counts="$counts $n"
    [ "$n" -gt 163840 ] || filled=0
  done
  if [ "$filled" = 1 ]; then inRow=$((inRow + 1)); else inRow=0; fi
done
[ "$inRow" -ge 3 ] || fail "the skull scene does not fill the screen:$counts of 327680 pixels lit per quarter"
press Escape ended || fail "ESC did not end the show"
waitExit 20
[ "$CODE" = 0 ] || fail "exit code $CODE after ESC in full screen"

# A second mode, the asked one: the display switches to it, and back at the end.
xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525
xrandr --addmode screen 640x480
start --fullscreen --start 150
waitGeometry 640x480
waitScreen 640x480
press Escape ended || fail "ESC did not end the show"
waitExit 20
[ "$CODE" = 0 ] || fail "exit code $CODE after ESC in 640x480"
waitScreen 1280x1024

# Without multitexturing the laser scene cannot load: the program says so and
# ends with code 255 through its normal shutdown, which gives the display its
# mode back.
MESA_EXTENSION_OVERRIDE=-GL_ARB_multitexture start --fullscreen
waitExit 60
[ "$CODE" = 255 ] || fail "exit code $CODE without multitexturing"
grep -qF "Error loading ARG_multitexture extension" "${TMPDIR:-/tmp}/e2e.$$.out" ||
  fail "no multitexturing message: $(cat "${TMPDIR:-/tmp}/e2e.$$.out")"
waitScreen 1280x1024

# Modes, but not the asked one: the question goes to stderr, the unattended
# answer is Yes, and the show runs in a window of the asked size.
start --resolution 1600x1200 --fullscreen --start 182
waitWindow
[ "$(geometry)" = 1600x1200 ] || fail "refused full screen gave a window of $(geometry)"
[ "$(screenSize)" = 1280x1024 ] || fail "the display changed to $(screenSize)"
waitExit 60
[ "$CODE" = 0 ] || fail "exit code $CODE after the refused full-screen mode"
grep -q "Use Windowed Mode Instead?" "${TMPDIR:-/tmp}/e2e.$$.out" || fail "the question was not asked"
echo ok
