# The whole show in sequence, as a viewer sees it: captured at 640x480 and 4
# frames per second over a desktop of a known colour, every frame checked
# against what its second must show, and the soundtrack (show_check); the
# video of it holds every frame and the sound.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
DESKTOP=2d5f8a
trap 'rm -rf "$OUT"; xsetroot -def' EXIT
xsetroot -solid "#$DESKTOP" || fail "cannot set the desktop's colour"

"$BIN" --resolution 640x480 --capture "$OUT/show" --capture-png --capture-fps 4 >"$OUT/log" 2>&1
code=$?
[ "$code" = 0 ] || { tail -n 5 "$OUT/log"; fail "capture exit code $code"; }
"$SHOW_CHECK" "$OUT/show" 4 "$DESKTOP" || fail "the show is not what its seconds must show"
# The video beside the frames: every one of them, and the sound as long.
python3 - "$OUT/show/parallaxis.mp4" <<'PY' || fail "the video"
import json, subprocess, sys
probe = subprocess.run(["ffprobe", "-v", "error", "-show_entries",
                        "stream=codec_type,nb_frames,duration", "-of", "json", sys.argv[1]],
                       capture_output=True, text=True)
streams = {s["codec_type"]: s for s in json.loads(probe.stdout)["streams"]}
assert int(streams["video"]["nb_frames"]) == 185 * 4, streams["video"]
assert abs(float(streams["audio"]["duration"]) - 185) < 0.1, streams["audio"]
PY
echo ok
