#!/usr/bin/env bash
# Installs what is missing, builds the recorder and starts it. Without options it starts the demo.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release >&2

if [ "$#" -eq 0 ]; then
  set -- --demo
fi
exec build/release/src/timerecorder "$@"
