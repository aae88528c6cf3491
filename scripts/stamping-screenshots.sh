#!/usr/bin/env bash
# Pictures of card stamping on an X server of its own (docs/screens/):
#   stamp-keyboard.png  the window program after a card typed by a keyboard reader (name shown)
#   stamp-pcsc.png      the same with a virtual card on pcscd's virtual reader (when pcscd and vpcd exist)
#   UF_2.png, UF_10key.png  the question and the keypad, from the window tests
# Each run checks that the stamp reached the attendance log. Everything started here is stopped by its PID.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset dev >/dev/null
cmake --build --preset dev --target timerecorder timerecorder_gui_tests >/dev/null
out="$PWD/docs/screens"
mkdir -p "$out"
work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

QT_QPA_PLATFORM=xcb TR_SCREEN_DIR="$out" xvfb-run -a -s "-screen 0 1920x1080x24" \
    build/dev/tests/timerecorder_gui_tests --gtest_filter='Dialogs.YesNo*:Dialogs.Keypad*' >/dev/null

# xvfb-run now and then fails to bring up its server; a picture is worth a second try.
xvfb() {
    local attempt
    for attempt in 1 2 3; do
        xvfb-run -a -s "-screen 0 1920x1080x24" "$@" && return 0
        echo "xvfb-run failed (attempt $attempt)" >&2
    done
    return 1
}

make_root() {
    local root="$1"
    mkdir -p "$root/zerbanto"
    printf '%s\r\n' "会社名= Corvale" "店舗CD = T01" "店舗名 = 第一店" "F転送= 12:15" |
        iconv -f UTF-8 -t CP932 >"$root/zerbanto/action01.txt"
    printf '%s\r\n' "99999,2026/12/01" "123,山田 花子,012E4C1B3A5F6D7E" "456,鈴木太郎,0101010101010101" |
        iconv -f UTF-8 -t CP932 >"$root/zerbanto/E99_member.csv"
}

# Runs inside Xvfb: starts the recorder, makes a card touch with the command given, takes the picture.
cat >"$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
root="$1"; picture="$2"; reader="$3"; shift 3
build/dev/src/timerecorder --root "$root" --reader "$reader" & app=$!
for _ in $(seq 50); do
    win="$(xdotool search --name 'タイムレコーダー' 2>/dev/null | head -1 || true)"
    [ -n "$win" ] && break
    sleep 0.2
done
[ -n "$win" ] || { echo "the window did not appear" >&2; kill "$app"; exit 1; }
sleep 1.5
xdotool windowfocus --sync "$win" || true
"$@"
# The name shows from the poll that writes the log line until the next poll: take the picture right then.
for _ in $(seq 100); do
    [ -s "$root/zerbanto/KLOG_T01.csv" ] && break
    sleep 0.05
done
import -window root "$picture"
kill "$app"; wait "$app" || true
INNER
chmod +x "$work/shoot.sh"

make_root "$work/kb"
xvfb "$work/shoot.sh" "$work/kb" "$out/stamp-keyboard.png" keyboard \
    xdotool type --delay 15 "012E4C1B3A5F6D7E"$'\n'
iconv -f CP932 -t UTF-8 "$work/kb/zerbanto/KLOG_T01.csv"
grep -q ',123,' "$work/kb/zerbanto/KLOG_T01.csv"

if [ -x /usr/sbin/pcscd ] && [ -e /etc/reader.conf.d/vpcd ] && ! pgrep -x pcscd >/dev/null; then
    mkdir -p "$work/conf" && cp /etc/reader.conf.d/vpcd "$work/conf/"
    rm -f /run/pcscd/pcscd.comm /run/pcscd/pcscd.pid
    /usr/sbin/pcscd --foreground -c "$work/conf" >"$work/pcscd.log" 2>&1 & pids+=($!)
    for _ in $(seq 50); do grep -q "daemon ready" "$work/pcscd.log" 2>/dev/null && break; sleep 0.1; done
    make_root "$work/pc"
    # The card stays on the reader for the picture and is taken away afterwards.
    cat >"$work/touch.sh" <<INNER
#!/usr/bin/env bash
/usr/bin/python3 "$PWD/tests/pcsc/virtual_card.py" --idm 0101010101010101 >/dev/null 2>&1 &
echo \$! >"$work/card.pid"
INNER
    chmod +x "$work/touch.sh"
    xvfb "$work/shoot.sh" "$work/pc" "$out/stamp-pcsc.png" pcsc "$work/touch.sh"
    kill "$(cat "$work/card.pid")" 2>/dev/null || true
    iconv -f CP932 -t UTF-8 "$work/pc/zerbanto/KLOG_T01.csv"
    grep -q ',456,' "$work/pc/zerbanto/KLOG_T01.csv"
fi
ls -l "$out"
