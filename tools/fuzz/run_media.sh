#!/usr/bin/env bash
# Fuzzes the texture manager's image path and the sound decoding path:
#   run_media.sh BUILD_DIR image|sound [SECONDS]
# BUILD_DIR is a clang build configured with -DPARALLAXIS_FUZZ=ON. The seed
# corpus is written fresh by the data generator's writers, beside the
# checked-in seeds and kept findings (tools/fuzz/seeds/NAME,
# tools/fuzz/regressions/NAME); new inputs collect in BUILD_DIR/fuzz/corpus-NAME
# and crashes in BUILD_DIR/fuzz/crashes-NAME.
set -euo pipefail
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:?usage: run_media.sh BUILD_DIR image|sound [SECONDS]}
NAME=${2:?usage: run_media.sh BUILD_DIR image|sound [SECONDS]}
SECONDS_TO_RUN=${3:-600}
case "$NAME" in
  image) TARGET=fuzz_image_decode ;;
  sound) TARGET=fuzz_sound_decoder ;;
  *) echo "run_media.sh: unknown target '$NAME'" >&2; exit 2 ;;
esac
cmake --build "$BUILD" --target "$TARGET" make_seeds_media -j2
SEEDS="$BUILD/fuzz/seeds-image"
SOUND_SEEDS="$BUILD/fuzz/seeds-sound"
mkdir -p "$SEEDS" "$SOUND_SEEDS"
"$BUILD/tools/fuzz/make_seeds_media" "$SEEDS" "$SOUND_SEEDS" >/dev/null
[ "$NAME" = sound ] && SEEDS=$SOUND_SEEDS
CORPUS="$BUILD/fuzz/corpus-$NAME"
CRASHES="$BUILD/fuzz/crashes-$NAME"
mkdir -p "$CORPUS" "$CRASHES"
KEPT=("$SOURCE/tools/fuzz/seeds/$NAME")
[ -d "$SOURCE/tools/fuzz/regressions/$NAME" ] && KEPT+=("$SOURCE/tools/fuzz/regressions/$NAME")
"$BUILD/tools/fuzz/$TARGET" "$CORPUS" "$SEEDS" "${KEPT[@]}" -max_total_time="$SECONDS_TO_RUN" \
  -max_len=65536 -rss_limit_mb=2048 -timeout=20 -artifact_prefix="$CRASHES/" -print_final_stats=1
