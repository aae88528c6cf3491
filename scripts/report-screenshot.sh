#!/usr/bin/env bash
# Takes the picture of a timesheet page (docs/screens/report.png): a week of a five-member store, written here
# as the recorder writes its log, turned into HTML by timerecorder-report and drawn by headless Chromium
# (Debian package chromium) with a profile of its own and no network.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset dev >/dev/null
cmake --build --preset dev --target timerecorder-report
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/logs"

# day, member code, name ("_" for a blank), in, out, planned start, planned leave (a stay per line; "-" for none)
stays() {
    local d
    for d in 2 3 4 5 6 7 8; do
        echo "$d 101 山田_花子 9:0$((d % 3)) 13:00 9:00 18:00"
        echo "$d 101 山田_花子 13:45 18:0$((d % 4)) 9:00 18:00"
        [ "$d" != 5 ] && echo "$d 102 鈴木_美咲 11:00 19:3$((d % 2)) 11:00 20:00"
        [ "$d" -le 6 ] && echo "$d 103 高橋_健 18:00 2:30 18:00 2:00"
        [ $((d % 2)) = 0 ] && echo "$d 104 田中_陽子 21:00 6:15 21:00 6:00"
    done
    echo "4 4567 <4567> 12:00 15:00 - -"
}

{
    while read -r day code name in out ps pl; do
        name="${name//_/ }"
        [ "$ps" = "-" ] && ps="" && pl=""
        outday=$day
        [ "${out%%:*}" -lt 9 ] && outday=$((day + 1))
        printf 'T01,2026/11/%d %s,%s,%s,1,%s,%s,01FE0000%08d\r\n' "$day" "$in" "$code" "$name" "$ps" "$pl" "$code"
        printf 'T01,2026/11/%d %s,%s,%s,2,%s,%s,01FE0000%08d\r\n' "$outday" "$out" "$code" "$name" "$ps" "$pl" "$code"
    done < <(stays)
    printf 'T01,2026/11/5 19:30,102,鈴木 美咲,2,,,01FE000000000102\r\n'
} | iconv -f UTF-8 -t CP932 >"$work/logs/KLOG_T01.csv"
# The office's corrections journal: the forgotten shift-in of 5 November.
printf '店舗,コード,日時,区分,操作,理由,修正者,記入日時\r\nT01,102,2026/11/5 11:00,1,追加,打刻忘れ (シフト表で確認),店長 山田,2026/11/9\r\n' |
    iconv -f UTF-8 -t CP932 >"$work/fix.csv"

build/dev/src/timerecorder-report --format html --from 2026-11-02 --to 2026-11-08 --corrections "$work/fix.csv" \
    -o "$work/report.html" "$work/logs"
mkdir -p "$work/profile" docs/screens
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --user-data-dir="$work/profile" --hide-scrollbars \
    --screenshot="$PWD/docs/screens/report.png" --window-size=900,1600 "file://$work/report.html" 2>/dev/null
echo "docs/screens/report.png"
