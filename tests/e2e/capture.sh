# Offline capture: frame count, determinism, and a folder that cannot be written.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'

"$BIN" --capture "$OUT/a" --start 40.5 --to 41.5 --capture-fps 10 2>/dev/null
[ $? = 0 ] || fail "capture exit code"
n=$(ls "$OUT/a"/frame_*.png | wc -l)
[ "$n" = 10 ] || fail "$n frames for one second at 10 frames/s"
n=$(ls "$OUT/a"/loading_*.png | wc -l)
[ "$n" = 6 ] || fail "$n loading screens, not one per scene"

# The soundtrack holds exactly the captured time, and the music that starts
# with the words scene plays in it.
python3 - "$OUT/a/soundtrack.wav" <<'PY' || fail "soundtrack"
import array, sys, wave
w = wave.open(sys.argv[1])
assert w.getframerate() == 44100 and w.getnchannels() == 2, "format"
assert w.getnframes() == 44100, "%d frames for one second" % w.getnframes()
pcm = array.array("h", w.readframes(w.getnframes()))
assert max(abs(v) for v in pcm) > 1000, "silent"
PY

"$BIN" --capture "$OUT/b" --start 40.5 --to 41.5 --capture-fps 10 2>/dev/null
for f in "$OUT/a"/frame_*.png; do
  cmp -s "$f" "$OUT/b/$(basename "$f")" || fail "$(basename "$f") differs between two captures"
done
cmp -s "$OUT/a/soundtrack.wav" "$OUT/b/soundtrack.wav" || fail "the soundtracks differ"

# Up to the end of the show: frames at 184.0, 184.5 and none at 185.
"$BIN" --capture "$OUT/c" --start 184 --capture-fps 2 2>/dev/null
n=$(ls "$OUT/c"/frame_*.png | wc -l)
[ "$n" = 2 ] || fail "$n frames from 184 s to the end at 2 frames/s"

mkdir "$OUT/ro" && chmod 0555 "$OUT/ro"
if [ "$(id -u)" != 0 ]; then
  "$BIN" --capture "$OUT/ro" --start 184 2>/dev/null; code=$?
  [ "$code" = 2 ] || fail "unwritable folder gave exit code $code"
fi
"$BIN" --capture /proc/parallaxis-capture --start 184 2>/dev/null; code=$?
[ "$code" = 2 ] || fail "uncreatable folder gave exit code $code"
"$BIN" --capture "$OUT/d" --capture-fps 0 2>/dev/null; code=$?
[ "$code" = 2 ] || fail "--capture-fps 0 gave exit code $code"
echo ok
