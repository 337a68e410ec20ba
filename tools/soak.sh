#!/usr/bin/env bash
# The soak: soak.sh [BUILD_DIR] [PASSES] [FPS]  (default build/, 3 passes, 5 fps)
#
# Captures the looping show (--loop) at 640x480 for PASSES times its 185 s at
# FPS frames per second of show time, sampling the process's resident memory
# every half second, and traces which data files it opens. Prints the peak
# resident memory of each pass and the data files opened after the first pass
# began (nothing may be loaded again). Exit code 1 when a later pass peaks
# more than 5% (and 8 MB) above the first one, when a data file is opened
# again, or when the run fails.
#
# Needs an X display (DISPLAY, or run it under xvfb-run) and strace.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
PASSES=${2:-3}
FPS=${3:-5}
SHOW=185
PER_PASS=$((SHOW * FPS))

WORK=$(mktemp -d /tmp/parallaxis-soak.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export PARALLAXIS_UNATTENDED=1 SDL_AUDIODRIVER=dummy

strace -f -ttt --seccomp-bpf -e trace=openat -o "$WORK/opens" \
  "$BUILD/parallaxis" --resolution 640x480 --loop --capture "$WORK/frames" --capture-png \
  --capture-fps "$FPS" --to $((SHOW * PASSES)) >"$WORK/run.log" 2>&1 &
TRACER=$!
PID=""
for _ in $(seq 100); do
  PID=$(pgrep -P "$TRACER" -x parallaxis | head -n 1)
  [ -n "$PID" ] && break
  sleep 0.1
done
[ -n "$PID" ] || { echo "soak: the show did not start" >&2; exit 1; }

# Samples "frames rss_kB" while the show runs; frames already counted are
# deleted so that the capture folder stays small.
written=0
while kill -0 "$PID" 2>/dev/null; do
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$PID/status" 2>/dev/null)
  done_frames=$(find "$WORK/frames" -name 'frame_*.png' 2>/dev/null)
  if [ -n "$done_frames" ]; then
    written=$((written + $(echo "$done_frames" | wc -l)))
    echo "$done_frames" | xargs rm -f
  fi
  [ -n "$rss" ] && echo "$written $rss $(date +%s.%N)" >>"$WORK/samples"
  sleep 0.5
done
wait "$TRACER"
CODE=$?
written=$((written + $(find "$WORK/frames" -name 'frame_*.png' | wc -l)))

echo "soak: exit code $CODE, $written frames of $((PER_PASS * PASSES))"
awk -v per="$PER_PASS" -v passes="$PASSES" '
  { p = int($1 / per); if (p >= passes) p = passes - 1; if ($2 > peak[p]) peak[p] = $2 }
  END {
    bad = 0
    for (p = 0; p < passes; ++p) {
      printf "pass %d: peak RSS %.1f MB\n", p + 1, peak[p] / 1024
      if (p > 0 && peak[p] > peak[0] * 1.05 && peak[p] - peak[0] > 8192) bad = 1
    }
    exit bad
  }' "$WORK/samples"
FLAT=$?

# Successful opens of the data folders ("TIME PATH"), and those after the
# first frame of the second pass was seen.
grep -E 'openat\(.*"(textures|models|sounds|cg_programs)/' "$WORK/opens" | grep -v ' = -1 ' |
  sed -E 's/^[0-9]+ +([0-9.]+) .*"([^"]+)".*/\1 \2/' >"$WORK/data-opens"
second=$(awk -v per="$PER_PASS" '$1 >= per { print $3; exit }' "$WORK/samples")
again=$(awk -v t="${second:-9e99}" '$1 >= t { print $2 }' "$WORK/data-opens" | sort | uniq -c)
echo "data files opened: $(wc -l <"$WORK/data-opens") (during set-up, one per object that loads one)"
if [ -n "$again" ]; then
  echo "opened again after the first pass:"
  echo "$again"
else
  echo "opened again after the first pass: none"
fi
[ "$CODE" = 0 ] && [ "$written" = $((PER_PASS * PASSES)) ] && [ "$FLAT" = 0 ] && [ -z "$again" ]
