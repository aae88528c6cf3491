#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, ASan, UBSan) and runs each for the given number of
# seconds, one after another. Prints a table of executions and findings per target and exits with 1 when
# any target found something. The targets are listed in fuzz/CMakeLists.txt (TR_FUZZ_TARGETS); a target
# added there is run here without further change.
#
#   scripts/fuzz.sh [seconds-per-target] [target ...]
#
# Seeds come from fuzz/corpus/<target>/ (and a dictionary from fuzz/<target>.dict when there is one) and are
# never changed; what the fuzzer learns is kept in
# build/fuzz/corpus/<target>/ for the next run, findings (crash-*, timeout-*, oom-*, leak-*) go to
# build/fuzz/findings/<target>/ and the fuzzer's output to build/fuzz/logs/<target>.log.
# Replay a finding with: build/fuzz/fuzz/fuzz_<target> build/fuzz/findings/<target>/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target fuzz_all

build=build/fuzz
if [ "$#" -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < "$build/fuzz/targets.txt"
fi

status=0
rows=()
for t in "${targets[@]}"; do
  [ -n "$t" ] || continue
  work="$build/corpus/$t"
  findings="$build/findings/$t"
  log="$build/logs/$t.log"
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  rm -f "$findings"/*
  echo "fuzzing $t for ${seconds}s" >&2
  dict=()
  if [ -f "fuzz/$t.dict" ]; then
    dict=(-dict="fuzz/$t.dict")
  fi
  set +e
  "$build/fuzz/fuzz_$t" "${dict[@]}" -max_total_time="$seconds" -timeout=30 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  if [ -z "$execs" ]; then
    execs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  fi
  count=$(find "$findings" -type f | wc -l)
  if [ "$rc" -ne 0 ] || [ "$count" -ne 0 ]; then
    status=1
  fi
  rows+=("$(printf '%-14s %8s %12s %9s %s' "$t" "$seconds" "${execs:-?}" "$count" "$( [ "$count" -ne 0 ] && ls "$findings" | head -1)")")
done

printf '%-14s %8s %12s %9s\n' target seconds executions findings
printf '%s\n' "${rows[@]}"
exit "$status"
