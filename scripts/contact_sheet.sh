#!/usr/bin/env bash
# Draws every part picture at each allowed orientation into one PNG for
# review: scripts/contact_sheet.sh [OUTPUT.png] (default build/picture_contact_sheet.png).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
out=$(realpath -m "${1:-build/picture_contact_sheet.png}")
build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWB_SANITIZE=ON >/dev/null
cmake --build "$build" -j4 --target test_model
QT_QPA_PLATFORM=offscreen WB_CONTACT_SHEET="$out" "$build/tests/test_model" \
  --gtest_filter=DisplayPictures.ContactSheet
