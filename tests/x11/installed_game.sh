#!/usr/bin/env bash
# The game as a player installs it: `cmake --install` into a scratch prefix
# and the Debian package from `cpack -G DEB` hold exactly the expected
# files, lintian finds no error in the package, and both installed programs,
# started from another directory as a desktop menu would, find their data:
# F10 ends them with the emergency text, not with a missing-file error. A
# program with no data anywhere names every place it looked in.
source "$(dirname "$0")/lib.sh" "$@"
tmp="$WORK"

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

screen_up 1024x768
mkdir -p "$tmp/elsewhere"
cd "$tmp/elsewhere"

# run_and_end PROGRAM [no-F10]: starts it here and ends it (see end_with_f10).
run_and_end() {
    run_program "$1"
    game_window >/dev/null
    end_with_f10 "${2:-}"
}

for program in "$tmp/prefix/bin/kestova" "$tmp/root/usr/games/kestova"; do
    run_and_end "$program"
    if [ "$code" -ne 255 ] || grep -q "Cannot open file" "$tmp/stderr" ||
        ! grep -q "'User requested emergency exit.'" "$tmp/stderr"; then
        fail "$program exited $code without the emergency text"
    fi
done

mkdir -p "$tmp/lonely/bin"
cp "$tmp/prefix/bin/kestova" "$tmp/lonely/bin/"
run_and_end "$tmp/lonely/bin/kestova" no-F10
looked="Cannot open file Kestova.dat (looked in $tmp/elsewhere/Kestova.dat, \
$tmp/lonely/bin/Kestova.dat, $tmp/lonely/share/kestova/Kestova.dat)"
if [ "$code" -ne 255 ] || ! grep -qF "$looked" "$tmp/stderr"; then
    fail "a program without data exited $code without naming where it looked"
fi
passed
