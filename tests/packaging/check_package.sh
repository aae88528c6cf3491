#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder and checks what a shop would get:
# the files, the package's dependencies and conffiles, and programs that still start after stripping.
# Usage: check_package.sh BUILD_DIR SOURCE_DIR INSTALL_PREFIX
set -euo pipefail
build=$1 source=$2 prefix=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
mapfile -t debs < <(find "$work" -maxdepth 1 -name 'timerecorder_*.deb')
[ "${#debs[@]}" -eq 1 ] || { echo "expected one package, found ${#debs[@]}" >&2; ls "$work" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
info=$(dpkg-deb -I "$deb")
sysconf=/etc
[ "$prefix" = /usr ] || sysconf=$prefix/etc

expect_file() { grep -qx -- "$1" <<<"$contents" || fail "missing $1"; }
expect_file "$prefix/bin/timerecorder"
expect_file "$prefix/bin/timerecorder-sim"
expect_file "$prefix/bin/timerecorder-report"
expect_file "$prefix/bin/timerecorder-check"
expect_file "$prefix/share/applications/timerecorder.desktop"
expect_file "$prefix/share/icons/hicolor/scalable/apps/timerecorder.svg"
expect_file "$prefix/share/icons/hicolor/48x48/apps/timerecorder.png"
expect_file "$prefix/share/icons/hicolor/256x256/apps/timerecorder.png"
expect_file "$prefix/libexec/timerecorder/timerecorder-session"
expect_file "$sysconf/xdg/autostart/timerecorder.desktop"
expect_file "$sysconf/default/timerecorder"
expect_file "$prefix/share/doc/timerecorder/copyright"
expect_file "$prefix/share/doc/timerecorder/changelog.gz"
# A manual page for every program in the package.
for program in $(grep "^$prefix/bin/." <<<"$contents"); do
    expect_file "$prefix/share/man/man1/$(basename "$program").1.gz"
done
# Every sound in the source tree is in the package, and nothing else sits in the sound folder.
for wav in "$source"/sounds/*.wav; do
    [ -e "$wav" ] || continue
    expect_file "$prefix/share/timerecorder/sounds/$(basename "$wav")"
done
if grep "^$prefix/share/timerecorder/sounds/." <<<"$contents" | grep -v '\.wav$' | grep -qv '/$'; then
    fail "files other than WAV in the sound folder"
fi

depends=$(sed -n 's/^ Depends: //p' <<<"$info")
echo "depends: $depends"
has_dep() { tr ',|' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//' | grep -qxF -- "$1"; }
for dep in pcscd libpcsclite1 fonts-noto-cjk libqt6widgets6 libqt6multimedia6; do
    has_dep "$dep" || fail "Depends lacks $dep"
done
# Every shared library the programs load comes with a package the package depends on.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for program in timerecorder timerecorder-sim timerecorder-report timerecorder-check; do
    for soname in $(objdump -p "$build/src/$program" | awk '$1 == "NEEDED" {print $2}'); do
        # Only this architecture's copy counts (libc6-i386 also holds a libm.so.6).
        owner=$(dpkg -S "*/$multiarch/$soname" 2>/dev/null | head -n1 | cut -d: -f1)
        if [ -z "$owner" ]; then
            fail "$program needs $soname, which no installed package holds"
        elif ! has_dep "$owner"; then
            fail "$program needs $soname from $owner, which Depends lacks"
        fi
    done
done
conffiles=$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles 2>/dev/null) || conffiles=""
grep -qx "$sysconf/default/timerecorder" <<<"$conffiles" || fail "$sysconf/default/timerecorder is not a conffile"
grep -qx "$sysconf/xdg/autostart/timerecorder.desktop" <<<"$conffiles" || fail "the autostart entry is not a conffile"

# The unpacked files work together: the entries point at installed programs, the programs start.
root=$work/root
dpkg-deb -x "$deb" "$root"
grep -qx 'Name\[ja\]=タイムレコーダー' "$root$prefix/share/applications/timerecorder.desktop" || fail "desktop entry lacks its Japanese name"
autostart_exec=$(sed -n 's/^Exec=//p' "$root$sysconf/xdg/autostart/timerecorder.desktop")
[ "$autostart_exec" = "$prefix/libexec/timerecorder/timerecorder-session" ] || fail "autostart runs '$autostart_exec'"
grep -q "^$prefix/bin/timerecorder " "$root$prefix/libexec/timerecorder/timerecorder-session" || fail "session script does not start $prefix/bin/timerecorder"
# Once the package is removed, the autostart entry left behind as a conffile does nothing.
try_exec=$(sed -n 's/^TryExec=//p' "$root$sysconf/xdg/autostart/timerecorder.desktop")
[ "$try_exec" = "$autostart_exec" ] || fail "autostart entry's TryExec is '$try_exec'"
[ -x "$root$prefix/libexec/timerecorder/timerecorder-session" ] || fail "session script not executable"
sh -n "$root$prefix/libexec/timerecorder/timerecorder-session" || fail "session script has a syntax error"
# The session script starts the recorder, with the configured options, only for the configured users.
session_with() { # USERS OPTIONS: runs a copy of the script against a settings file and a stand-in recorder
    printf 'TIMERECORDER_USERS="%s"\nTIMERECORDER_OPTIONS="%s"\n' "$1" "$2" >"$work/settings"
    printf '#!/bin/sh\necho "$@" >"%s"\n' "$work/started" >"$work/recorder" && chmod +x "$work/recorder"
    sed -e "s|^settings=.*|settings=$work/settings|" -e "s|^$prefix/bin/timerecorder |$work/recorder |" \
        "$root$prefix/libexec/timerecorder/timerecorder-session" >"$work/session"
    rm -f "$work/started"
    sh "$work/session"
}
session_with "nobody-else $(id -un)" "--server ftp.example.jp --reader pcsc"
[ "$(cat "$work/started" 2>/dev/null)" = "--server ftp.example.jp --reader pcsc" ] || fail "session script did not start the recorder with its options"
session_with "nobody-else" ""
[ ! -e "$work/started" ] || fail "session script started the recorder for a user not in TIMERECORDER_USERS"
session_with "" ""
[ ! -e "$work/started" ] || fail "session script started the recorder with TIMERECORDER_USERS empty"
"$root$prefix/bin/timerecorder-sim" --help | grep -q -- '--root' || fail "the packaged simulator does not start"
"$root$prefix/bin/timerecorder-report" --help | grep -q -- '--month' || fail "the packaged report program does not start"
"$root$prefix/bin/timerecorder-check" --help | grep -q -- '--members' || fail "the packaged check program does not start"
QT_QPA_PLATFORM=offscreen "$root$prefix/bin/timerecorder" --help | grep -q -- '--reader' || fail "the packaged window program does not start"
# The window program comes up on an empty data folder and keeps running until it is stopped.
mkdir -m 700 "$work/runtime" "$work/data"
status=0
XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen timeout 3 "$root$prefix/bin/timerecorder" --root "$work/data" \
    >"$work/run.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/run.log" >&2; fail "the packaged window program ended with status $status"; }
[ -d "$work/data/zerbanto" ] || fail "the packaged window program made no data folder"

# Free of lintian errors and warnings (where lintian is installed).
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
    cat "$work/lintian.log"
    if grep -qE '^[EW]: ' "$work/lintian.log"; then
        fail "lintian reports errors or warnings"
    fi
else
    echo "lintian not installed: package not linted"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
