#!/usr/bin/env bash
# Draws the contact sheets for review, under build/:
#   build/picture_contact_sheet.png  every picture source, frame by frame
#   build/part_contact_sheet.png     every component in every allowed
#                                    orientation and state, drawn by the part
#   build/systems_contact_sheet.png  every systems part with its stimulus
#                                    control, in every state
#   build/cursor_contact_sheet.png   every cursor picture of the shared
#                                    cursor table, on a light and a dark mat
# scripts/contact_sheet.sh [PICTURES.png [PARTS.png [SYSTEMS.png]]]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
out=$(realpath -m "${1:-build/picture_contact_sheet.png}")
parts=$(realpath -m "${2:-build/part_contact_sheet.png}")
systems=$(realpath -m "${3:-build/systems_contact_sheet.png}")
build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWB_SANITIZE=ON >/dev/null
cmake --build "$build" -j4 --target test_model test_components test_app
QT_QPA_PLATFORM=offscreen WB_CONTACT_SHEET="$out" "$build/tests/test_model" \
  --gtest_filter=DisplayPictures.ContactSheet
QT_QPA_PLATFORM=offscreen WB_PART_SHEET="$parts" "$build/tests/test_components" \
  --gtest_filter=DrawContactSheet.*
QT_QPA_PLATFORM=offscreen WB_SYSTEMS_SHEET="$systems" "$build/tests/test_components" \
  --gtest_filter=SystemsContactSheet.*
QT_QPA_PLATFORM=offscreen WB_CURSOR_SHEET="$(realpath -m build/cursor_contact_sheet.png)" "$build/tests/test_app" \
  --gtest_filter=CursorTable.ContactSheet
