#!/usr/bin/env bash
# Fuzzes the 3DS reader: run_loader_3ds.sh BUILD_DIR [SECONDS]
# BUILD_DIR is a clang build configured with -DPARALLAXIS_FUZZ=ON. The seed
# corpus is written fresh by our 3DS writer, beside the checked-in seeds
# (tools/fuzz/seeds/3ds); new inputs collect in
# BUILD_DIR/fuzz/corpus-3ds and crashes in BUILD_DIR/fuzz/crashes-3ds.
set -euo pipefail
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:?usage: run_loader_3ds.sh BUILD_DIR [SECONDS]}
SECONDS_TO_RUN=${2:-600}
cmake --build "$BUILD" --target fuzz_loader_3ds make_seeds_3ds -j2
SEEDS="$BUILD/fuzz/seeds-3ds"
CORPUS="$BUILD/fuzz/corpus-3ds"
CRASHES="$BUILD/fuzz/crashes-3ds"
mkdir -p "$SEEDS" "$CORPUS" "$CRASHES"
"$BUILD/tools/fuzz/make_seeds_3ds" "$SEEDS"
"$BUILD/tools/fuzz/fuzz_loader_3ds" "$CORPUS" "$SEEDS" "$SOURCE/tools/fuzz/seeds/3ds" -max_total_time="$SECONDS_TO_RUN" \
  -max_len=65536 -rss_limit_mb=2048 -timeout=20 -artifact_prefix="$CRASHES/" -print_final_stats=1
