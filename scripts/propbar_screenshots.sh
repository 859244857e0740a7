#!/usr/bin/env bash
# Screenshots of the property toolbar under Xvfb: a design with a group box,
# a picture, a text box and a turned resistor (written by
# tests/app/property_toolbar_pictures_test.cpp), each part clicked in turn;
# the text box is edited with part of its text made bold.
#   build/shots/propbar_parts.dsn                      the design
#   build/shots/propbar_{group,picture,text,resistor}.png  the screenshots
#   build/shots/propbar_sheet.png                      the button pictures, magnified
# scripts/propbar_screenshots.sh [SECONDS]   (default 4: time to start)
set -euo pipefail
cd "$(dirname "$0")/.."
wait=${1:-4}
screenshot=${SCREENSHOT:-/work/shared/tools/screenshot}
shots=$(realpath -m build/shots)
mkdir -p "$shots"
test=build/test
cmake -S . -B "$test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWB_SANITIZE=ON >/dev/null
cmake --build "$test" -j4 --target test_app workbench
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 WB_PROPBAR_DESIGNS="$shots" \
  WB_PROPBAR_SHEET="$shots/propbar_sheet.png" "$test/tests/test_app" \
  --gtest_filter='PropertyToolbarEditing.ReviewDesign:PropertyToolbarPictures.EveryButtonShowsAPicture'
home=$(mktemp -d)
steps=$(mktemp -d)
trap 'rm -rf "$home" "$steps"' EXIT
# Screen points of the parts in a 1280 x 800 screen, the window as the
# program places it with its home column open.
printf 'mousemove 450 250\nclick 1\nsleep 0.7\nmousemove 900 600\n' >"$steps/group"
printf 'mousemove 660 192\nclick 1\nsleep 0.7\nmousemove 900 600\n' >"$steps/picture"
printf 'mousemove 728 367\nclick 1\nsleep 0.7\nmousemove 900 600\n' >"$steps/resistor"
printf '%s\n' 'mousemove 373 360' 'click 1' 'sleep 0.7' 'key End' 'key space' 'type more' \
  'key shift+ctrl+Left' 'sleep 0.3' 'mousemove 189 116' 'click 1' 'sleep 0.5' 'mousemove 900 600' >"$steps/text"
for part in group picture text resistor; do
  rm -rf "$home"/*
  HOME="$home" XDG_CONFIG_HOME="$home" WB_SETTINGS_FILE="$home/varnholt.ini" ASAN_OPTIONS=detect_leaks=0 \
    "$screenshot" "$shots/propbar_$part.png" "$wait" --steps "$steps/$part" \
    -- "$test/app/workbench" "$shots/propbar_parts.dsn"
done
