#!/usr/bin/env bash
# Sets up, builds and runs every test; under Xvfb when there is no display.
# Then the sanitizer build (build-sanitize/) captures the whole show and must
# report nothing, and every fuzz target (build-fuzz/) runs for
# FUZZ_SECONDS (default 60; 0 skips fuzzing). Each stage prints its time.
set -euo pipefail
cd "$(dirname "$0")/.."

# stage NAME COMMAND...: runs one stage and prints how long it took.
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "== test: $name"
  "$@"
  echo "== test: $name took $((SECONDS - start)) s"
}

# withDisplay COMMAND...: runs the command on the X display, or under Xvfb.
withDisplay() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
  fi
}

ctestAll() { (cd build && withDisplay ctest --output-on-failure); }

sanitizerBuild() {
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARALLAXIS_SANITIZE=ON \
    -DPARALLAXIS_TESTS=OFF >/dev/null
  cmake --build build-sanitize --target parallaxis -j "$(nproc)"
}

stage "layer check" tools/check_layers.sh --quiet
stage "install-deps.sh" tools/install-deps.sh
stage "build.sh" tools/build.sh
stage "ctest" ctestAll
stage "sanitizer build" sanitizerBuild
# The whole show in sequence at 10 frames per second: every scene draws on the
# state the ones before it left, as in a real run.
stage "whole show under the sanitizers" withDisplay tools/sanitizer/check_show.sh build-sanitize 0:185:10

# Every fuzz target explores for FUZZ_SECONDS; a finding fails the run, its
# input kept in build-fuzz/fuzz/crashes-NAME. (The repeatable gate is ctest's
# replay of the checked-in corpora above.)
if [ "${FUZZ_SECONDS:-60}" != 0 ]; then
  stage "fuzz exploration" tools/fuzz/run_all.sh build-fuzz "${FUZZ_SECONDS:-60}"
fi
