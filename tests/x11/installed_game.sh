#!/usr/bin/env bash
# The game as a player installs it: `cmake --install` into a scratch prefix
# and the Debian package from `cpack -G DEB` hold exactly the expected
# files, lintian finds no error in the package, and both installed programs,
# started from another directory as a desktop menu would, find their data:
# F10 ends them with the emergency text, not with a missing-file error. A
# program with no data anywhere names every place it looked in.
set -euo pipefail
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"

tmp="$(mktemp -d)"
cleanup() {
    stop_xvfb
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "installed_game: $*"
    exit 1
}

# expect_files DIR LIST: the regular files under DIR are exactly LIST.
expect_files() {
    local got
    got="$(cd "$1" && find . -type f | sed 's|^\./||' | sort)"
    [ "$got" = "$(sort <<<"$2")" ] || fail "files under $1:
$got
expected:
$2"
}

shared="share/kestova/Kestova.dat
share/applications/kestova.desktop
share/metainfo/kestova.metainfo.xml
share/icons/hicolor/32x32/apps/kestova.png
share/icons/hicolor/64x64/apps/kestova.png
share/icons/hicolor/128x128/apps/kestova.png
share/icons/hicolor/256x256/apps/kestova.png
share/man/man6/kestova.6.gz
share/doc/kestova/copyright
share/doc/kestova/changelog.gz"

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
expect_files "$tmp/prefix" "bin/kestova
$shared"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack failed"; }
deb="$(ls "$tmp"/pkg/kestova_*.deb)"
dpkg-deb -x "$deb" "$tmp/root"
expect_files "$tmp/root" "usr/games/kestova
$(sed 's|^|usr/|' <<<"$shared")"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in fonts-liberation libsdl2-2.0-0 libsdl2-ttf-2.0-0 libfontconfig1; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
lintian --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || true
if grep -q '^E:' "$tmp/lintian.log"; then
    cat "$tmp/lintian.log"
    fail "lintian reports errors"
fi
appstreamcli validate --no-net "$tmp/prefix/share/metainfo/kestova.metainfo.xml" \
    >"$tmp/appstream.log" 2>&1 || true
if grep -q '^E:' "$tmp/appstream.log"; then
    cat "$tmp/appstream.log"
    fail "the AppStream metadata has errors"
fi

start_xvfb
mkdir -p "$tmp/elsewhere"
cd "$tmp/elsewhere"

# run_and_end PROGRAM [no-F10]: starts it here, presses F10 until it ends
# (unless told not to: a program that ends by itself must not be beaten to
# its own box), closing the error box as a player would; leaves its exit
# code in $code and its standard error in $tmp/stderr.
run_and_end() {
    "$1" 2>"$tmp/stderr" &
    local game=$!
    wait_for_window "Kestova!" 60 >/dev/null || {
        kill "$game" 2>/dev/null
        cat "$tmp/stderr"
        fail "no game window from $1"
    }
    local _
    for _ in $(seq 1 100); do
        kill -0 "$game" 2>/dev/null || break
        if ! click_box_ok 2>/dev/null && [ "${2:-}" != no-F10 ]; then hold_key F10 0.2; fi
        sleep 0.2
    done
    if kill -0 "$game" 2>/dev/null; then
        kill -9 "$game"
        fail "$1 did not end"
    fi
    set +e
    wait "$game"
    code=$?
    set -e
}

for program in "$tmp/prefix/bin/kestova" "$tmp/root/usr/games/kestova"; do
    run_and_end "$program"
    if [ "$code" -ne 255 ] || grep -q "Cannot open file" "$tmp/stderr" ||
        ! grep -q "'User requested emergency exit.'" "$tmp/stderr"; then
        cat "$tmp/stderr"
        fail "$program exited $code without the emergency text"
    fi
done

mkdir -p "$tmp/lonely/bin"
cp "$tmp/prefix/bin/kestova" "$tmp/lonely/bin/"
run_and_end "$tmp/lonely/bin/kestova" no-F10
looked="Cannot open file Kestova.dat (looked in $tmp/elsewhere/Kestova.dat, \
$tmp/lonely/bin/Kestova.dat, $tmp/lonely/share/kestova/Kestova.dat)"
if [ "$code" -ne 255 ] || ! grep -qF "$looked" "$tmp/stderr"; then
    cat "$tmp/stderr"
    fail "a program without data exited $code without naming where it looked"
fi
echo "installed_game: passed"
