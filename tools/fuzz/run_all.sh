#!/usr/bin/env bash
# Every fuzz target for SECONDS each: run_all.sh BUILD_DIR [SECONDS]
# Configures BUILD_DIR as a clang build with -DPARALLAXIS_FUZZ=ON when it is
# not one yet. Every target runs and prints its executions; then the script
# fails if any of them found a crash, a leak, a timeout or a failed check (its
# input is kept in BUILD_DIR/fuzz/crashes-NAME, its output in
# BUILD_DIR/fuzz/NAME.log).
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
BUILD=${1:?usage: run_all.sh BUILD_DIR [SECONDS]}
SECONDS_EACH=${2:-60}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DPARALLAXIS_FUZZ=ON -DPARALLAXIS_TESTS=OFF >/dev/null ||
    exit 1
fi
mkdir -p "$BUILD/fuzz"
found=()

# fuzz NAME COMMAND...: runs one target, reports it and notes a finding.
fuzz() {
  local name=$1 log="$BUILD/fuzz/$1.log" code
  shift
  "$@" >"$log" 2>&1
  code=$?
  printf 'fuzz %-6s exit %d, %s executions\n' "$name" "$code" \
    "$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  if [ "$code" != 0 ]; then
    grep -E '^(==[0-9]+==|SUMMARY|artifact_prefix|    #[0-9] )' "$log" | head -n 20
    found+=("$name")
  fi
}

cgTarget() {
  cmake --build "$BUILD" --target fuzz_cg_translate -j2 >/dev/null || return 1
  mkdir -p "$BUILD/fuzz/corpus-cg" "$BUILD/fuzz/crashes-cg"
  "$BUILD/tools/fuzz/fuzz_cg_translate" -dict=tools/fuzz/cg.dict -max_total_time="$SECONDS_EACH" \
    -timeout=20 -artifact_prefix="$BUILD/fuzz/crashes-cg/" -print_final_stats=1 \
    "$BUILD/fuzz/corpus-cg" data/cg_programs tools/fuzz/seeds/cg
}

fuzz cg cgTarget
fuzz 3ds tools/fuzz/run_loader_3ds.sh "$BUILD" "$SECONDS_EACH"
fuzz image tools/fuzz/run_media.sh "$BUILD" image "$SECONDS_EACH"
fuzz sound tools/fuzz/run_media.sh "$BUILD" sound "$SECONDS_EACH"

if [ ${#found[@]} != 0 ]; then
  echo "FUZZING FOUND A PROBLEM in: ${found[*]} (inputs in $BUILD/fuzz/crashes-NAME)"
  exit 1
fi
