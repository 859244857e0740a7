#!/usr/bin/env bash
# Builds the optimised benchmarks and runs them all (or those named).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWB_TESTS=OFF -DWB_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
for b in "$build"/bench/bench_*; do
  name=$(basename "$b")
  if [ $# -eq 0 ] || [[ " $* " == *" $name "* ]]; then "$b"; fi
done
