#!/usr/bin/env bash
# Installs what is missing, builds the recorder and starts it. Without options it starts the demo; on a
# machine without a display that demo runs in the simulator and prints what happened. Only the program that
# runs is built, not the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset release >/dev/null

if [ "$#" -eq 0 ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the demo in the simulator instead."
    cmake --build --preset release --target timerecorder-sim >&2
    exec scripts/sim-demo.sh build/release/src/timerecorder-sim
  fi
  set -- --demo
fi
cmake --build --preset release --target timerecorder >&2
exec build/release/src/timerecorder "$@"
