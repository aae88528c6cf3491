#!/usr/bin/env bash
# Builds the release preset and prints one table of figures, each beside a reference measured in the same
# run on the same machine:
#   - the day restore over a 1,000,000-line log, against `wc -l` on the same file;
#   - loading a member list of 10,001 lines, against `wc -l` on the same file;
#   - one get_card_idm call (fake reader, full member table) without a card and with the card of the last
#     slot, with and without the log's sync, against a bare write (+ fdatasync) and a no-op virtual call;
#   - a simulated 30-day month of a 40-member store through timerecorder-sim, per simulated day, against
#     the simulator started and ended on an empty script, and against a day without a card;
#   - the time from a card's arrival on the PC/SC reader (pcscd + vpcd + the tests' virtual card, in the
#     tests' private bed; needs root) to the chime's play call, median and 95th percentile of 100 touches,
#     against the floor (a bare SCardGetStatusChange client seeing the same card); and the keyboard
#     reader's last key to the chime, against the timer's interval;
#   - the window program idle under Xvfb (after 5 s of start-up): CPU share of one core and peak RSS,
#     against the Xvfb server and xmessage (a minimal X client) measured over the same seconds.
# Benchmarks only print; nothing here passes or fails on a time.
#
#   scripts/bench.sh [--quick] [idle-seconds]
#
# --quick: a 100,000-line log, a 1-day month, fewer synced calls and 3 idle seconds (unless given), for a
# check that every row comes out (the bench_script test). BENCH_BUILD=<build folder> uses binaries built elsewhere (no build).
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
if [ "${1:-}" = "--quick" ]; then
  quick=1
  shift
fi
if [ "$quick" -eq 1 ]; then
  idle="${1:-3}" log_lines=100000 days=1 sync_calls=20 settle=2 touches=3
else
  idle="${1:-60}" log_lines=1000000 days=30 sync_calls=200 settle=5 touches=100
fi
members=40

build="${BENCH_BUILD:-}"
if [ -z "$build" ]; then
  build=build/release
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 --target restore_bench member_list_bench card_bench chime_bench timerecorder-sim \
    timerecorder >&2
fi

build=$(cd "$build" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/trbench-XXXXXX")
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

rows=()
notes=()
collect() { # the table rows and notes a benchmark printed
  local out="$1"
  while IFS= read -r line; do
    case "$line" in
      '|'*) rows+=("$line") ;;
      '#'*) notes+=("$line") ;;
    esac
  done <<<"$out"
}

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }
figure() { awk -v v="$1" 'BEGIN { d = v >= 100 ? 0 : v >= 10 ? 1 : v >= 1 ? 2 : 3; printf "%.*f", d, v }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) { r = a / b; d = r >= 100 ? 0 : r >= 10 ? 1 : 2; printf "%.*f", d, r } else print "-" }'; }

echo "restore and member list benchmarks" >&2
out=$("$build/bench/restore_bench" "$log_lines")
collect "$out"
out=$("$build/bench/member_list_bench")
collect "$out"
echo "card benchmark" >&2
out=$(TMPDIR="$work" "$build/bench/card_bench" "$sync_calls")
collect "$out"
echo "card arrival to chime ($touches touches)" >&2
out=$(TMPDIR="$work" "$build/bench/chime_bench" "$touches")
collect "$out"

# A store root: settings of store T01 (stand-alone) and a member list of 40 members, in code page 932.
idm_of() { printf '01A0%012X' "$1"; }
make_root() {
  mkdir -p "$1/zerbanto"
  printf '会社名= Bench\r\n店舗CD = T01\r\n店舗名 = 第一店\r\nF転送= 12:15\r\n' | iconv -f UTF-8 -t CP932 \
    >"$1/zerbanto/action01.txt"
  {
    printf '99999,2026/11/01\r\n'
    for ((m = 0; m < members; m++)); do
      printf '%d,会員 %d,%s\r\n' $((1000 + m)) "$m" "$(idm_of "$m")"
    done
  } | iconv -f UTF-8 -t CP932 >"$1/zerbanto/E99_member.csv"
}

# Every member stamps in between 8:00 and 8:40 and out between 17:00 and 17:40, each card once.
month_script() {
  echo "time 2026-11-01 07:59:00"
  echo "start"
  for ((d = 0; d < $1; d++)); do
    echo "click cmd_IN"
    for ((m = 0; m < members; m++)); do printf 'tap %s\nwait 1m\n' "$(idm_of "$m")"; done
    echo "wait 8h20m"
    echo "click cmd_OUT"
    for ((m = 0; m < members; m++)); do printf 'tap %s\nwait 1m\n' "$(idm_of "$m")"; done
    echo "wait 14h20m"
  done
}

sim() { # root, script file: runs the simulator and prints its wall time in seconds
  local t0
  t0=$(now)
  "$build/src/timerecorder-sim" --root "$1" <"$2" >"$work/sim.out" 2>"$work/sim.err" || {
    echo "timerecorder-sim failed: $(cat "$work/sim.err")" >&2
    exit 1
  }
  seconds_since "$t0"
}

echo "simulated month ($days days)" >&2
month_script "$days" >"$work/month.txt"
: >"$work/empty.txt"
printf 'time 2026-11-01 07:59:00\nstart\nwait 1d\n' >"$work/idle_day.txt"
make_root "$work/month" && make_root "$work/idle" && mkdir -p "$work/empty"
empty_s=$(sim "$work/empty" "$work/empty.txt")
idle_s=$(sim "$work/idle" "$work/idle_day.txt")
month_s=$(sim "$work/month" "$work/month.txt")
stamps=$(wc -l <"$work/month/zerbanto/KLOG_T01.csv")
per_day_ms=$(awk -v s="$month_s" -v d="$days" 'BEGIN { print s * 1000 / d }')
empty_ms=$(awk -v s="$empty_s" 'BEGIN { print s * 1000 }')
idle_ms=$(awk -v s="$idle_s" 'BEGIN { print s * 1000 }')
rows+=("| simulated day of a $members-member store ($days-day month) | $(figure "$per_day_ms") ms | timerecorder-sim on an empty script | $(figure "$empty_ms") ms | $(ratio "$per_day_ms" "$empty_ms") |")
rows+=("| simulated day of a $members-member store ($days-day month) | $(figure "$per_day_ms") ms | a simulated day without a card (start, wait 1d) | $(figure "$idle_ms") ms | $(ratio "$per_day_ms" "$idle_ms") |")
notes+=("# month: $(wc -l <"$work/month.txt") script lines, ${month_s} s in all, $stamps log lines (expected $((days * members * 2)))")

# CPU ticks (utime + stime) and peak RSS in kB of a process.
ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
hwm_kb() { awk '/^VmHWM/ { print $2 }' "/proc/$1/status"; }

echo "window program idle for ${idle}s under Xvfb" >&2
display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "no free display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
make_root "$work/gui"
mkdir -m 700 "$work/xdg"
DISPLAY="$display" XDG_RUNTIME_DIR="$work/xdg" "$build/src/timerecorder" --root "$work/gui" --reader keyboard \
  >"$work/gui.log" 2>&1 &
gui=$!
pids+=("$gui")
DISPLAY="$display" xmessage "idle reference" >/dev/null 2>&1 &
xmsg=$!
pids+=("$xmsg")
sleep "$settle"
hz=$(getconf CLK_TCK)
declare -A t0
for p in "$gui" "$xvfb" "$xmsg"; do t0[$p]=$(ticks "$p"); done
w0=$(now)
sleep "$idle"
wall=$(seconds_since "$w0")
share() { awk -v a="${t0[$1]}" -v b="$(ticks "$1")" -v hz="$hz" -v w="$wall" 'BEGIN { print (b - a) / hz / w * 100 }'; }
gui_cpu=$(share "$gui") xvfb_cpu=$(share "$xvfb") xmsg_cpu=$(share "$xmsg")
gui_mb=$(awk -v k="$(hwm_kb "$gui")" 'BEGIN { print k / 1024 }')
xvfb_mb=$(awk -v k="$(hwm_kb "$xvfb")" 'BEGIN { print k / 1024 }')
xmsg_mb=$(awk -v k="$(hwm_kb "$xmsg")" 'BEGIN { print k / 1024 }')
windows=$(DISPLAY="$display" xdotool search --onlyvisible --pid "$gui" 2>/dev/null | wc -l || true)
rows+=("| window program idle ${idle} s: CPU share of one core | $(figure "$gui_cpu") % | Xvfb serving it, same seconds | $(figure "$xvfb_cpu") % | $(ratio "$gui_cpu" "$xvfb_cpu") |")
rows+=("| window program idle ${idle} s: CPU share of one core | $(figure "$gui_cpu") % | xmessage (minimal X client), same seconds | $(figure "$xmsg_cpu") % | $(ratio "$gui_cpu" "$xmsg_cpu") |")
rows+=("| window program: peak RSS (VmHWM) | $(figure "$gui_mb") MB | Xvfb 1920x1080x24 | $(figure "$xvfb_mb") MB | $(ratio "$gui_mb" "$xvfb_mb") |")
rows+=("| window program: peak RSS (VmHWM) | $(figure "$gui_mb") MB | xmessage | $(figure "$xmsg_mb") MB | $(ratio "$gui_mb" "$xmsg_mb") |")
notes+=("# idle: display $display, measured from ${settle} s after start for ${wall} s; ${windows} visible window(s) of the program; CLK_TCK $hz")

echo
echo "| work | figure | reference (same run) | reference figure | work / reference |"
echo "|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
echo
printf '%s\n' "${notes[@]}"
echo "# machine: $(nproc) CPUs, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
