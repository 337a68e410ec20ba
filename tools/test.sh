#!/usr/bin/env bash
# Sets up, builds and runs every test; under Xvfb when there is no display.
# Then the sanitizer build (build-sanitize/) captures a short range of every
# scene and must report nothing, and every fuzz target (build-fuzz/) runs for
# FUZZ_SECONDS (default 60; 0 skips fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/check_layers.sh --quiet
tools/install-deps.sh
tools/build.sh

# withDisplay COMMAND...: runs the command on the X display, or under Xvfb.
withDisplay() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
  fi
}

(cd build && withDisplay ctest --output-on-failure)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARALLAXIS_SANITIZE=ON \
  -DPARALLAXIS_TESTS=OFF >/dev/null
cmake --build build-sanitize --target parallaxis -j "$(nproc)"
# Half a second at 10 frames per second at the start, middle and end of each scene.
withDisplay tools/sanitizer/check_show.sh build-sanitize \
  1:1.5:10 20:20.5:10 39:39.5:10 40.5:41:10 45:45.5:10 49:49.5:10 \
  50.5:51:10 68:68.5:10 84:84.5:10 85.5:86:10 100:100.5:10 114:114.5:10 \
  115.5:116:10 133:133.5:10 149:149.5:10 150.5:151:10 168:168.5:10 184:184.5:10

# A time-bounded fuzz run is not repeatable (how far it gets depends on the
# machine), so a finding is reported loudly, with its input kept under
# build-fuzz/fuzz/crashes-NAME, but does not fail the run; run_all.sh on its
# own does fail.
if [ "${FUZZ_SECONDS:-60}" != 0 ]; then
  tools/fuzz/run_all.sh build-fuzz "${FUZZ_SECONDS:-60}" ||
    echo "FUZZING FOUND A PROBLEM (see above); its input is kept in build-fuzz/fuzz/"
fi
