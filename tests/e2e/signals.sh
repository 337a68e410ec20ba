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
  waitFor 120 test -e "$OUT/capture/frame_000003.png" || fail "the capture wrote no frames"
}
enter_loading() { startHung "$OUT/loading"; }

# after_STAGE (where there is one): what happens once the signal is sent.
# The pipe gives the read an end of file: the model fails to load, and the
# loading has to stop before the next scene.
after_loading() { timeout 60 sh -c ': > "$1"' - "$HUNG/models/torusknot.3ds" & }

# usable DIR LOADING: the capture in DIR holds LOADING loading screens, whole
# PNG frames, a soundtrack of exactly their length (10 frames/s), and with
# ffmpeg a video of every frame.
usable() {
  python3 - "$1" "$2" <<'PY' || fail "the capture in $1 is not usable"
import glob, os, shutil, subprocess, sys, wave
d, loading = sys.argv[1], int(sys.argv[2])
shots = glob.glob(d + "/loading_*.png")
assert len(shots) == loading, "%d loading screens, not %d" % (len(shots), loading)
frames = sorted(glob.glob(d + "/frame_*.png"))
for f in shots + frames:
    data = open(f, "rb").read()
    assert data.startswith(b"\x89PNG") and data.endswith(b"IEND\xaeB`\x82"), f + " is cut"
w = wave.open(d + "/soundtrack.wav")
assert w.getnframes() == len(frames) * 4410, \
    "%d sound frames for %d frames" % (w.getnframes(), len(frames))
assert len(w.readframes(w.getnframes())) == w.getnframes() * 4, "the soundtrack is cut"
if frames and shutil.which("ffmpeg"):
    count = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames",
                            "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0",
                            d + "/parallaxis.mp4"], capture_output=True, text=True).stdout
    assert count.strip() == str(len(frames)), "the video has %r frames, not %d" % (count, len(frames))
print("%s: %d frames, %d sound frames" % (os.path.basename(d), len(frames), w.getnframes()))
PY
}

# check_STAGE (where there is one): what must be left behind.
check_benchmark() { grep -q "^Parallaxis benchmark" "$LOG" || fail "no benchmark table"; }
check_capture() { usable "$OUT/capture" 6; }
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
