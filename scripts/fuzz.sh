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
cmake --build "$build" -j 4 --target "fuzz_$name"
mkdir -p "$build/new-$name"
export QT_QPA_PLATFORM=offscreen
# AddressSanitizer's defaults cost the readers half their speed (parttree:
# 56 -> 105 runs/s on the same 6000 inputs): filling every new block up to
# 4 KB, a 256 MB quarantine of fresh pages that fault in one by one, and
# handing memory back to the system every few seconds only to fault it in
# again.  A small quarantine still catches use after free within an input.
# Every allocation also records its call stack (30 frames) in the stack
# depot: a fifth of the RTF target's processor time (8 000 seeded runs, 9.9 s
# of CPU with the default, 8.1 s with two frames).  A fault found is replayed
# with the corpus driver (tests/fuzz/replay_main.cpp), which keeps full stacks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-max_malloc_fill_size=0:quarantine_size_mb=8:allocator_release_to_os_interval_ms=-1:malloc_context_size=2}
# Inputs are kept to 4 KB unless MAX_LEN says otherwise: libFuzzer would take
# the largest input of the corpus as the bound (the part-tree corpus keeps a
# 24 KB regression input), and mutants of that size run at a third of the
# speed without finding more.
"$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len="${MAX_LEN:-4096}" \
  "$build/new-$name" "tests/fuzz/corpus/$name"
