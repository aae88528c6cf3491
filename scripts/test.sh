#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: first the debug build, whose sources are then
# checked by clang-format and clang-tidy (scripts/lint.sh; TR_LINT=0 skips that), then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer, where any finding fails its test.
# Arguments go to both ctest runs (e.g. -R Settings). TR_TEST_PRESETS="dev" runs the debug build only.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
for preset in ${TR_TEST_PRESETS:-dev asan}; do
  echo "== $preset" >&2
  start=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  built=$SECONDS
  if [ "$preset" = dev ] && [ "${TR_LINT:-1}" != 0 ]; then
    scripts/lint.sh
  fi
  ctest --preset "$preset" -j2 "$@"
  echo "== $preset: build $((built - start)) s, tests $((SECONDS - built)) s" >&2
done
