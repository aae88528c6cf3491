#!/usr/bin/env bash
# Takes the README's picture of the demo (docs/screens/demo-1366x768.png) on an X server of its own: the demo
# started in a throw-away home, F1 and F3 pressed as two card touches, each waited for in the demo's log,
# then the window once the read name has been cleared. Everything started here is stopped by its PID.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset dev >/dev/null
cmake --build --preset dev --target timerecorder >/dev/null
work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY="$display" HOME="$work" XDG_RUNTIME_DIR="$work/runtime"
until xdpyinfo >/dev/null 2>&1; do sleep 0.1; done
build/dev/src/timerecorder --demo >"$work/demo.log" 2>&1 &
pids+=($!)
until xdotool search --name . >/dev/null 2>&1; do sleep 0.1; done

lines() { find "$work" -name 'KLOG_*.csv' -exec cat {} + 2>/dev/null | grep -c . || true; }
touch_key() { # a key as a card, then wait until its stamp is in the log
    local before
    before=$(lines)
    xdotool key "$1"
    for _ in $(seq 100); do [ "$(lines)" -gt "$before" ] && return 0; sleep 0.1; done
    echo "the demo did not stamp $1: see $work/demo.log" >&2
    cat "$work/demo.log" >&2
    return 1
}
touch_key F1
sleep 2 # the name stays a second; the next touch comes after it
touch_key F3
sleep 3
mkdir -p docs/screens
import -window root docs/screens/demo-1366x768.png
echo "docs/screens/demo-1366x768.png"
