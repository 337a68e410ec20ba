#!/usr/bin/env bash
# Sets up, builds and starts the show. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
exec build/parallaxis "$@"
