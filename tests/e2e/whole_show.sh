# The whole show in sequence, as a viewer sees it: captured at 640x480 and 4
# frames per second over a desktop of a known colour, every frame checked
# against what its second must show, and the soundtrack (show_check).
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
DESKTOP=2d5f8a
trap 'rm -rf "$OUT"; xsetroot -def' EXIT
xsetroot -solid "#$DESKTOP" || fail "cannot set the desktop's colour"

"$BIN" --resolution 640x480 --capture "$OUT/show" --capture-fps 4 >"$OUT/log" 2>&1
code=$?
[ "$code" = 0 ] || { tail -n 5 "$OUT/log"; fail "capture exit code $code"; }
"$SHOW_CHECK" "$OUT/show" 4 "$DESKTOP" || fail "the show is not what its seconds must show"
echo ok
