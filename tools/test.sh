#!/usr/bin/env bash
# Sets up, builds and runs every test; under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
cd build
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  ctest --output-on-failure
else
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure
fi
