#!/usr/bin/env bash
# Sets up, builds an optimised workbench and starts it; arguments are passed on.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWB_TESTS=OFF -DWB_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target workbench
exec "$build/app/workbench" "$@"
