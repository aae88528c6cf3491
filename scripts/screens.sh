#!/usr/bin/env bash
# Draws the recorder's windows (main window idle, busy and stopped; UF_2, UF_10key, UF_Initial) on a sample
# store under Xvfb at the three screen sizes the shops use, into docs/screens/<scene>-<W>x<H>.png.
# Usage: scripts/screens.sh [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screens}

scripts/deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j2 --target timerecorder-screens >&2

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
for size in 1920x1080 1366x768 1280x1024; do
    XDG_RUNTIME_DIR=$runtime xvfb-run -a -s "-screen 0 ${size}x24" build/dev/src/timerecorder-screens "$out"
done
