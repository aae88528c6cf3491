#!/usr/bin/env bash
# Checks the sources as the test run does: their layout against .clang-format and the checks .clang-tidy lists,
# every finding an error. clang-tidy reads the dev build's compile_commands.json (made here when missing; the Qt
# windows' files need the build's generated headers, so scripts/test.sh runs this after building) and checks
# one file per core at a time. Arguments: the files to check instead of every source under src/ and tests/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/dev
if [ ! -f "$build/compile_commands.json" ]; then
  cmake --preset dev >/dev/null
fi

if [ "$#" -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(find src tests -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
fi
sources=()
for f in "${files[@]}"; do
  case "$f" in *.cpp) sources+=("$f") ;; esac
done

start=$SECONDS
echo "== clang-format: ${#files[@]} files" >&2
clang-format --dry-run -Werror "${files[@]}"

echo "== clang-tidy: ${#sources[@]} files on $(nproc) cores" >&2
# "N warnings generated" counts the warnings of the checks that are off: only the findings are shown.
status=0
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$(nproc)" clang-tidy -p "$build" --quiet --warnings-as-errors='*' 2> >(grep -v ' warnings\? generated\.$' >&2) ||
  status=$?
echo "== lint: $((SECONDS - start)) s" >&2
exit "$status"
