# SIGINT and SIGTERM at every stage: the program winds down through its
# normal shutdown (it says so on stderr and exits with 128 + the signal's
# number), and what a capture wrote stays usable. A second signal ends at once
# a program that hangs.
. "$(dirname "$0")/lib.bash"
set -m  # a script's background jobs would otherwise ignore SIGINT
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'
LOG="${TMPDIR:-/tmp}/e2e.$$.out"

# A copy of the program whose torus knot model is a named pipe: the loading
# of that scene (the third) waits in the read until something opens the pipe
# for writing.
HUNG="$OUT/hung"
DATA=$(dirname "$BIN")
mkdir -p "$HUNG/models"
cp "$BIN" "$HUNG/parallaxis"
for d in textures sounds cg_programs; do ln -s "$DATA/$d" "$HUNG/$d"; done
ln -s "$DATA"/models/* "$HUNG/models/"
rm "$HUNG/models/torusknot.3ds"
mkfifo "$HUNG/models/torusknot.3ds"
# startHung DIR: captures with that copy into DIR and waits until the loading
# hangs (the third loading screen is out).
startHung() {
  local BIN="$HUNG/parallaxis"
  start --resolution 640x480 --capture "$1"
  waitFor 120 test -e "$1/loading_2.png" || fail "the loading did not reach the pipe"
}

overlaid() { [ "$("$XBRIGHT" "$TITLE" 0 440 250 40 2>/dev/null)" -gt 20 ] 2>/dev/null; }
dialogShown() { running && [ -n "$(xdotool search --name "^Parallaxis\$" 2>/dev/null)" ]; }

# enter_STAGE: starts the program and waits until it is in that stage.
enter_dialog() { start; waitFor 60 dialogShown || fail "no dialog"; }
enter_show() {
  start --resolution 640x480 --loop --show-fps
  waitFor 120 overlaid || fail "the show did not start"
}
enter_benchmark() {
  start --resolution 640x480 --benchmark --show-fps
  waitFor 120 overlaid || fail "the benchmark did not start"
}
enter_capture() {
  start --resolution 640x480 --capture "$OUT/capture" --capture-fps 10 --start 40
  waitFor 120 soundOf 4 "$OUT/capture/soundtrack.wav" || fail "the capture made no frames"
}
# soundOf N FILE: FILE holds the sound of N frames at 10 frames/s or more.
soundOf() { [ "$(stat -c %s "$2" 2>/dev/null || echo 0)" -ge $((44 + $1 * 4410 * 4)) ]; }
enter_loading() { startHung "$OUT/loading"; }

# after_STAGE (where there is one): what happens once the signal is sent.
# The pipe gives the read an end of file: the model fails to load, and the
# loading has to stop before the next scene.
after_loading() { timeout 60 sh -c ': > "$1"' - "$HUNG/models/torusknot.3ds" & }

# usable DIR LOADING: the capture in DIR holds LOADING loading screens, a
# video whose frames are whole (ffmpeg decodes every one) and a soundtrack of
# exactly their length (10 frames/s); or, when no frame was made, neither.
usable() {
  python3 - "$1" "$2" <<'PY' || fail "the capture in $1 is not usable"
import glob, os, subprocess, sys, wave
d, loading = sys.argv[1], int(sys.argv[2])
shots = glob.glob(d + "/loading_*.png")
assert len(shots) == loading, "%d loading screens, not %d" % (len(shots), loading)
for f in shots:
    data = open(f, "rb").read()
    assert data.startswith(b"\x89PNG") and data.endswith(b"IEND\xaeB`\x82"), f + " is cut"
frames = 0
if os.path.exists(d + "/parallaxis.mp4"):
    probe = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-show_entries",
                            "stream=codec_type,nb_read_frames", "-of", "csv=p=0",
                            d + "/parallaxis.mp4"], capture_output=True, text=True)
    streams = dict(line.split(",") for line in probe.stdout.split())
    assert probe.returncode == 0 and "audio" in streams, "the video: %r" % probe.stdout
    frames = int(streams["video"])
    assert frames > 0, "an empty video"
w = wave.open(d + "/soundtrack.wav")
assert w.getnframes() == frames * 4410, \
    "%d sound frames for %d frames" % (w.getnframes(), frames)
assert len(w.readframes(w.getnframes())) == w.getnframes() * 4, "the soundtrack is cut"
print("%s: %d frames, %d sound frames" % (os.path.basename(d), frames, w.getnframes()))
PY
}

# check_STAGE (where there is one): what must be left behind.
check_benchmark() { grep -q "^Parallaxis benchmark" "$LOG" || fail "no benchmark table"; }
check_capture() {
  usable "$OUT/capture" 6
  [ -f "$OUT/capture/parallaxis.mp4" ] || fail "no video after the signal"
}
check_loading() { usable "$OUT/loading" 3; }

ROWS=(
  "dialog    TERM 143"
  "show      INT  130"
  "benchmark TERM 143"
  "capture   TERM 143"
  "loading   INT  130"
)
for row in "${ROWS[@]}"; do
  read -r stage signal code <<< "$row"
  "enter_$stage"
  kill -"$signal" "$PID"
  ! declare -F "after_$stage" >/dev/null || "after_$stage"
  waitExit 60
  [ "$CODE" = "$code" ] || fail "SIG$signal during the $stage gave exit code $CODE, not $code"
  grep -q "parallaxis: ended by SIG$signal$" "$LOG" ||
    fail "SIG$signal during the $stage did not go through the shutdown: $(cat "$LOG")"
  ! declare -F "check_$stage" >/dev/null || "check_$stage"
  echo "$stage: SIG$signal, exit code $CODE after $SECONDS_TAKEN s"
done

# The loading hangs for good: the first SIGINT cannot end it, the second ends
# the program at once, without the shutdown.
startHung "$OUT/hang"
kill -INT "$PID"
sleep 1
running || fail "one SIGINT ended a program that could not shut down"
kill -INT "$PID"
waitExit 30
[ "$CODE" = 130 ] || fail "the second SIGINT gave exit code $CODE"
grep -q "ended by" "$LOG" && fail "the second SIGINT went through the shutdown"
echo "hung loading: second SIGINT, exit code $CODE after $SECONDS_TAKEN s"
echo ok
