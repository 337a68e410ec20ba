#!/usr/bin/env bash
# The data-fault matrix: fault_matrix.sh [BUILD_DIR]  (default build/)
#
# For every data file the show reads (textures/, models/, sounds/,
# cg_programs/), the show captures short steps of the scenes that use that
# file with the file missing, cut to half its length, and replaced by random
# bytes of the same length. The program and its data are copied to a scratch
# folder first, so the build stays intact, and each file is restored after
# its cases. A case passes when the run exits with 0, writes every frame, its
# last frame is not black, and (in a sanitizer build) nothing was reported.
# Prints a table; the exit code is 1 when any case failed (what it needs to
# be run again is kept in BUILD_DIR/fault-logs/).
#
# Needs an X display (DISPLAY, or run it under xvfb-run) and ffprobe.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
FPS=5
STEP=0.6  # seconds of show time per step: three frames

WORK=$(mktemp -d /tmp/parallaxis-faults.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cp "$BUILD/parallaxis" "$WORK/"
for d in textures models sounds cg_programs; do cp -r "$BUILD/$d" "$WORK/"; done
export SANITIZER_LOG_DIR="$WORK/logs"
# shellcheck source=sanitizer/env.sh
source "$ROOT/tools/sanitizer/env.sh"
sanitizer_env "$WORK/parallaxis"
export PARALLAXIS_UNATTENDED=1 SDL_AUDIODRIVER=dummy

# The show times (s) at which the scenes that use a file are drawn.
stepsFor() {
  case "$1" in
    textures/particle3.bmp | textures/monitor-inside.jpg | sounds/typewriter.wav) echo 8 30 ;;
    sounds/back1.mp3) echo 1 ;;
    sounds/spring.mp3) ;;  # only the settings dialog plays it, and a capture skips the dialog
    sounds/back2.mp3) echo 41 ;;
    textures/font.bmp) echo 45 ;;
    models/torusknot.3ds) echo 60 ;;
    textures/blue_glow.jpg | textures/red_laser.jpg | cg_programs/*) echo 90 105 ;;
    models/skull.3ds | textures/earth.jpg | textures/??.jpg) echo 160 178 ;;
    *) echo 8 45 60 100 130 170 ;;  # a file this list does not know: every scene
  esac
}

# The brightest luma of a PNG (0 to 255).
lumaMax() {
  ffprobe -v error -f lavfi -i "movie=$1,signalstats" \
    -show_entries frame_tags=lavfi.signalstats.YMAX -of csv=p=0
}

# runCase NAME START: one capture; prints "exit findings result".
runCase() {
  local out="$WORK/capture" start=$2 rc findings frames expected last bright result
  rm -rf "$out" "$SANITIZER_LOG_DIR"
  mkdir -p "$SANITIZER_LOG_DIR"
  local to
  to=$(awk -v s="$start" -v d="$STEP" 'BEGIN { print s + d }')
  (cd /tmp && timeout 300 "$WORK/parallaxis" --resolution 640x480 --capture "$out" --capture-png \
    --capture-fps $FPS --start "$start" --to "$to" >"$WORK/run.log" 2>&1)
  rc=$?
  findings=$(sanitizer_findings)
  expected=$(awk -v d="$STEP" -v f=$FPS 'BEGIN { print int(d * f + 0.999) }')
  frames=$(find "$out" -name 'frame_*.png' 2>/dev/null | wc -l)
  last=$(find "$out" -name 'frame_*.png' 2>/dev/null | sort | tail -n 1)
  bright=0
  [ -n "$last" ] && bright=$(lumaMax "$last")
  if [ "$rc" -ne 0 ]; then
    result="FAIL (exit)"
  elif [ "$findings" -ne 0 ]; then
    result="FAIL (sanitizer)"
  elif [ "$frames" -ne "$expected" ]; then
    result="FAIL ($frames of $expected frames)"
  elif [ "${bright%.*}" -lt 16 ]; then
    result="FAIL (black frame)"
  else
    result="ok"
  fi
  echo "$rc $findings $result"
}

failures=0
row() { printf '%-44s %-9s %-5s %-10s %s\n' "$@"; }
row "case" "at (s)" "exit" "sanitizer" "result"
row "----" "------" "----" "---------" "------"
# report NAME AT [FILE]: runs a case and prints its row; a failed case keeps
# its output, sanitizer logs and faulty file in BUILD_DIR/fault-logs/.
report() {
  local name=$1 at=$2 line keep
  line=$(runCase "$name" "$at")
  read -r rc findings result <<<"$line"
  row "$name" "$at" "$rc" "$findings" "$result"
  [ "$result" = ok ] && return
  failures=$((failures + 1))
  keep="$BUILD/fault-logs/${name//[\/ ]/_}_$at"
  mkdir -p "$keep"
  cp "$WORK/run.log" "$keep/"
  cp -r "$SANITIZER_LOG_DIR" "$keep/"
  [ -n "${3:-}" ] && [ -f "$3" ] && cp "$3" "$keep/"
}

for at in 8 45 60 100 130 170; do report "baseline" "$at"; done

cd "$WORK" || exit 1
files=$(find textures models sounds cg_programs -type f | sort)
cd /tmp || exit 1
for rel in $files; do
  if [ -z "$(stepsFor "$rel")" ]; then
    row "$rel" "-" "-" "-" "not read by a capture"
    continue
  fi
  file="$WORK/$rel"
  cp "$file" "$WORK/saved"
  size=$(stat -c %s "$file")
  for fault in missing half random; do
    case $fault in
      missing) rm -f "$file" ;;
      half) head -c $((size / 2)) "$WORK/saved" >"$file" ;;
      random) head -c "$size" /dev/urandom >"$file" ;;
    esac
    for at in $(stepsFor "$rel"); do report "$rel $fault" "$at" "$file"; done
    cp "$WORK/saved" "$file"
  done
done

echo
if [ "$failures" -eq 0 ]; then
  echo "fault matrix: every case passed"
else
  echo "fault matrix: $failures case(s) failed"
fi
[ "$failures" -eq 0 ]
