#!/usr/bin/env bash
# The window program's start with and without a screen, and its status at the end. Usage: window_start.sh PROGRAM
#  - no screen at all: one Japanese sentence, exit status 1, none of Qt's own English lines;
#  - a screen (offscreen) and a warning of Qt's while the application starts: the program runs on, and the
#    warning, held back during the start, still comes out;
#  - ended by a message answered with a click on OK (under this script's own Xvfb): status 1 after a stamping
#    failure (the card reader's component is missing), 0 for any other end (no member list at the start).
set -u
program=$1
work=$(mktemp -d)
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
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

# Waits up to 60 s for a condition (a command), checking every tenth of a second.
wait_for() {
    local tries=600
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}
has_display() { [ -s "$work/display" ]; }
# The message box is the window titled with a single space.
find_box() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$recorder" 2>/dev/null); do
        if [ "$(xdotool getwindowname "$w")" = " " ]; then
            box=$w
            return 0
        fi
    done
    return 1
}
has_ended() { ! kill -0 "$recorder" 2>/dev/null; }

# libxkbcommon-x11 hands strndup a name that is not ended by a NUL inside its buffer (legal for strndup, which
# stops at the length), and the sanitizers' strict string checks take that for an overflow.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
wait_for has_display || { fail "Xvfb did not start"; exit "$failures"; }
export DISPLAY=":$(cat "$work/display")"
# Runs the program on the data folder $1 with the card reader of PC/SC (here without its service), answers the
# message that ends it with a click on OK, and expects the status $2; $3 says what ended it.
ended_by_message() {
    local status
    PCSCLITE_CSOCK_NAME="$work/no-reader.sock" XDG_RUNTIME_DIR="$work" "$program" --root "$1" --reader pcsc \
        >"$work/out.txt" 2>&1 &
    recorder=$!
    box=""
    if ! wait_for find_box; then
        fail "$3: no message"
        kill "$recorder"
        return
    fi
    eval "$(xdotool getwindowgeometry --shell "$box")"
    # OK is the box's only button, at its lower right corner.
    xdotool mousemove --window "$box" $((WIDTH - 60)) $((HEIGHT - 60)) click 1
    wait_for has_ended || { fail "$3: OK did not end the program"; kill "$recorder"; }
    wait "$recorder"
    status=$?
    cat "$work/out.txt"
    [ "$status" -eq "$2" ] || fail "$3: status $status"
}

mkdir -m 700 -p "$work/store/zerbanto" "$work/listless"
ended_by_message "$work/listless" 0 "no member list"
printf '123,Yamada,012E4C1B3A5F6D7E\r\n' >"$work/store/zerbanto/E99_member.csv"
ended_by_message "$work/store" 1 "a stamping failure"
exit "$failures"
