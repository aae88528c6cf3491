#!/usr/bin/env bash
# Installs what is missing, builds the recorder and starts it. Without options it starts the demo; on a
# machine without a display that demo runs in the simulator and prints what happened.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release >&2

if [ "$#" -eq 0 ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the demo in the simulator instead."
    exec scripts/sim-demo.sh build/release/src/timerecorder-sim
  fi
  set -- --demo
fi
exec build/release/src/timerecorder "$@"
