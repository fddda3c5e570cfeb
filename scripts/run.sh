#!/usr/bin/env bash
# Builds Zerlo (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release -DZERLO_BUILD_TESTS=OFF -DZERLO_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release -j "$(nproc)" --target zerlo
exec build/release/app/zerlo "$@"
