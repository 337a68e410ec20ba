#!/usr/bin/env bash
# Runs a sanitizer build of the show over capture ranges and fails on any
# report: check_show.sh BUILD_DIR RANGE...   where RANGE is START:TO:FPS
# (seconds of show time, frames per second), each range one run at 640x480.
# Reports are kept in BUILD_DIR/sanitizer-logs/. Needs an X display.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:?usage: check_show.sh BUILD_DIR START:TO:FPS...}" && pwd)
shift
export SANITIZER_LOG_DIR="$BUILD/sanitizer-logs"
rm -rf "$SANITIZER_LOG_DIR"
mkdir -p "$SANITIZER_LOG_DIR"
# shellcheck source=env.sh
source "$HERE/env.sh"
sanitizer_env "$BUILD/parallaxis"
export PARALLAXIS_UNATTENDED=1 SDL_AUDIODRIVER=dummy
OUT=$(mktemp -d /tmp/parallaxis-sanitizer.XXXXXX)
trap 'rm -rf "$OUT"' EXIT

failed=0
for range in "$@"; do
  IFS=: read -r from to fps <<<"$range"
  began=$(date +%s)
  "$BUILD/parallaxis" --resolution 640x480 --capture "$OUT/$range" --capture-png --capture-fps "$fps" \
    --start "$from" --to "$to" >"$OUT/log" 2>&1
  code=$?
  frames=$(find "$OUT/$range" -name 'frame_*.png' | wc -l)
  rm -rf "${OUT:?}/$range"
  printf 'sanitizer run %-14s exit %d, %4d frames, %3d s\n' "$range" "$code" "$frames" \
    $(($(date +%s) - began))
  if [ "$code" != 0 ]; then
    failed=1
    tail -n 20 "$OUT/log"
  fi
done
findings=$(sanitizer_findings)
if [ "$findings" != 0 ]; then
  echo "sanitizer: $findings report(s); logs in $SANITIZER_LOG_DIR"
  cat "$SANITIZER_LOG_DIR"/* | head -n 80
  failed=1
else
  echo "sanitizer: no reports"
fi
exit "$failed"
