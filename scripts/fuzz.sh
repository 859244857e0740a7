#!/usr/bin/env bash
# Fuzzes one target with libFuzzer for a while: scripts/fuzz.sh NAME [SECONDS]
# (NAME as in tests/fuzz/fuzz_NAME.cpp).  New inputs go to build/fuzz/new-NAME;
# copy the interesting ones into tests/fuzz/corpus/NAME.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
name=$1; seconds=${2:-180}
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DWB_SANITIZE=ON -DWB_LIBFUZZER=ON -DWB_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "fuzz_$name"
mkdir -p "$build/new-$name"
export QT_QPA_PLATFORM=offscreen
"$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
  "$build/new-$name" "tests/fuzz/corpus/$name"
