#!/usr/bin/env bash
# Screenshots of a running design in the real window under Xvfb, at zoom 1
# and 2: the first-circuit scenario (tests/app/canvas_wiring_test.cpp)
# writes the design it built, then the workbench opens it.
#   build/shots/canvas_design.dsn, canvas_design_zoom2.dsn  the designs
#   build/shots/canvas_zoom1.png, canvas_zoom2.png          the screenshots
# scripts/canvas_screenshots.sh [SECONDS]   (default 3: time to run)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
wait=${1:-3}
# The Xvfb screenshot tool (starts a private X server, saves the screen).
screenshot=${SCREENSHOT:-/work/shared/tools/screenshot}
shots=$(realpath -m build/shots)
mkdir -p "$shots"
test=build/test
cmake -S . -B "$test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWB_SANITIZE=ON >/dev/null
cmake --build "$test" -j4 --target test_app
QT_QPA_PLATFORM=offscreen WB_CANVAS_DESIGNS="$shots" "$test/tests/test_app" \
  --gtest_filter=CanvasWiring.APupilBuildsWiresRunsMovesTurnsDeletesUndoesAndSaves
release=build/release
cmake -S . -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWB_TESTS=OFF -DWB_BENCH=OFF >/dev/null
cmake --build "$release" -j4 --target workbench
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
for z in 1 2; do
  design="$shots/canvas_design.dsn"
  [ "$z" = 2 ] && design="$shots/canvas_design_zoom2.dsn"
  HOME="$home" XDG_CONFIG_HOME="$home" WB_SETTINGS_FILE="$home/varnholt.ini" "$screenshot" "$shots/canvas_zoom$z.png" "$wait" \
    -- "$release/app/workbench" "$design"
done
