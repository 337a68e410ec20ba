# Offline capture: frame count, determinism, the frames on ffmpeg's pipe, an
# ffmpeg that fails, and a folder that cannot be written.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'

"$BIN" --capture "$OUT/a" --capture-png --start 40.5 --to 41.5 --capture-fps 10 2>/dev/null
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

"$BIN" --capture "$OUT/b" --capture-png --start 40.5 --to 41.5 --capture-fps 10 2>/dev/null
for f in "$OUT/a"/frame_*.png; do
  cmp -s "$f" "$OUT/b/$(basename "$f")" || fail "$(basename "$f") differs between two captures"
done
cmp -s "$OUT/a/soundtrack.wav" "$OUT/b/soundtrack.wav" || fail "the soundtracks differ"

# Up to the end of the show: frames at 184.0, 184.5 and none at 185.
"$BIN" --capture "$OUT/c" --capture-png --start 184 --capture-fps 2 2>/dev/null
n=$(ls "$OUT/c"/frame_*.png | wc -l)
[ "$n" = 2 ] || fail "$n frames from 184 s to the end at 2 frames/s"

# The video by default: no PNG frames, the sound in step with the pictures.
"$BIN" --capture "$OUT/v" --start 40.5 --to 41.5 --capture-fps 10 2>/dev/null ||
  fail "video capture exit code $?"
ls "$OUT/v"/frame_*.png >/dev/null 2>&1 && fail "PNG frames without --capture-png"
streams=$(ffprobe -v error -show_entries stream=codec_type,nb_frames -of csv=p=0 \
  "$OUT/v/parallaxis.mp4" | sort | tr '\n' ' ')
case "$streams" in
  audio,*" video,10 ") ;;
  *) fail "the video holds '$streams', not 10 frames and a sound" ;;
esac

# What goes down the pipe is what the PNG frames hold, byte for byte: an
# ffmpeg in front of the real one keeps the pipe's bytes.
FAKE="$OUT/fake"
mkdir "$FAKE"
REAL=$(command -v ffmpeg)
cat >"$FAKE/ffmpeg" <<EOF
#!/bin/sh
for a; do last=\$a; done
case " \$* " in
  *" pipe:0 "*) exec \${FAKE_ENCODER:-cat} > "\$last" ;;
  *) exec "$REAL" "\$@" ;;
esac
EOF
chmod +x "$FAKE/ffmpeg"
PATH="$FAKE:$PATH" "$BIN" --capture "$OUT/p" --capture-png --start 40.5 --to 41.5 \
  --capture-fps 10 2>/dev/null
"$REAL" -v error -i "$OUT/p/frame_%06d.png" -f rawvideo -pix_fmt rgb24 - | cmp -s - \
  "$OUT/p/parallaxis-video.mkv" || fail "the pipe's frames are not the PNG frames"

# An ffmpeg that stops after three frames: the capture ends there, with the
# frames and the sound written up to then, and says so in its exit code.
PATH="$FAKE:$PATH" FAKE_ENCODER="head -c 2764800" "$BIN" --capture "$OUT/x" --capture-png \
  --start 40.5 --to 45 --capture-fps 10 2>"$OUT/x.err"; code=$?
[ "$code" = 1 ] || fail "a failed ffmpeg gave exit code $code"
grep -q "ffmpeg stopped taking frames" "$OUT/x.err" || fail "no message: $(cat "$OUT/x.err")"
python3 - "$OUT/x" <<'PY' || fail "the frames before the failure"
import glob, sys, wave
n = len(glob.glob(sys.argv[1] + "/frame_*.png"))
assert 3 <= n < 45, "%d frames" % n
assert wave.open(sys.argv[1] + "/soundtrack.wav").getnframes() == n * 4410, "sound"
PY

# Without ffmpeg the frames are PNG files.
PATH=/nowhere "$BIN" --capture "$OUT/n" --start 184.5 --capture-fps 2 2>"$OUT/n.err" ||
  fail "capture without ffmpeg, exit code $?"
[ -f "$OUT/n/frame_000000.png" ] && grep -q "ffmpeg is not on the PATH" "$OUT/n.err" ||
  fail "without ffmpeg: $(ls "$OUT/n") $(cat "$OUT/n.err")"

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
