#!/usr/bin/env bash
# The window program's start with and without a screen. Usage: window_start.sh PROGRAM
#  - no screen at all: one Japanese sentence, exit status 1, none of Qt's own English lines;
#  - a screen (offscreen) and a warning of Qt's while the application starts: the program runs on, and the
#    warning, held back during the start, still comes out.
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" "$program" --root "$work/none" 2>&1)
status=$?
echo "$out"
[ "$status" -eq 1 ] || fail "without a screen: status $status"
grep -q '画面がありません' <<<"$out" || fail "without a screen: no Japanese message"
! grep -q 'qt\.qpa' <<<"$out" || fail "without a screen: Qt's own messages shown"

out=$(QT_QPA_PLATFORM=offscreen QT_STYLE_OVERRIDE=no-such-style XDG_RUNTIME_DIR="$work" \
    timeout 3 "$program" --root "$work/root" 2>&1)
status=$?
echo "$out"
[ "$status" -eq 124 ] || fail "with a screen and a start-up warning: ended with status $status"
grep -q 'no-such-style' <<<"$out" || fail "with a screen: Qt's start-up warning was swallowed"
exit "$failures"
