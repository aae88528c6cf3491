#!/usr/bin/env bash
# The demo without a display: the simulator runs a few card touches on the sample store in a temporary
# folder, and what happened is printed line by line. Usage: scripts/sim-demo.sh [TIMERECORDER_SIM]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
sim="${1:-$here/../build/release/src/timerecorder-sim}"

root="$(mktemp -d "${TMPDIR:-/tmp}/timerecorder-demo-XXXXXX")"
trap 'rm -rf "$root"' EXIT
script="$root/demo-script.txt"
today="$(date +%Y-%m-%d)"

# Each "# step:" comment names what the next "show" shows.
cat >"$script" <<SCRIPT
time $today 08:59:58
start
wait 2s
# step: 山田 花子 touches her card (shift-in mode)
tap 012E4C1B3A5F1000
wait 1s
show
# step: 佐藤 健 touches his card
tap 012E4C1B3A5F1001
wait 1s
show
# step: 佐藤 健 touches again 20 seconds later: a repeat, no second log line
wait 20s
tap 012E4C1B3A5F1001
wait 1s
show
# step: an unknown card: the recorder asks, the member types cast code 112 on the keypad
answer yes
keypad 1 1 2 登録
tap 0139F2A8C4D1E7B6
wait 1s
show
# step: five hours later, "シフト　アウト" pressed: 佐藤 健 leaves
wait 5h
click cmd_OUT
tap 012E4C1B3A5F1001
wait 1s
show
# step: "USBへ": the log is copied to the demo's USB stick folder
drive E "$root/usb-stick"
answer yes
click Cmd_ToUSB
show
SCRIPT

"$sim" --demo --root "$root" <"$script" >"$root/events.jsonl"
python3 "$here/sim_demo_summary.py" "$script" "$root/events.jsonl" "$root"
