#!/usr/bin/env bash
# Takes the picture of a filled attendance board (docs/screens/board.png) on an X server of its own:
# the window test that builds the board saves the window's picture, here under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset dev >/dev/null
cmake --build --preset dev --target timerecorder_gui_tests
out="$PWD/build/screens"
mkdir -p "$out"
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb TR_SCREEN_DIR="$out" \
    xvfb-run -a -s "-screen 0 1920x1080x24" \
    build/dev/tests/timerecorder_gui_tests --gtest_filter='BoardScreen.*'
mkdir -p docs/screens
cp "$out/board.png" docs/screens/board.png
echo "docs/screens/board.png"
