#!/usr/bin/env bash
# The real game under Xvfb: F12 saves the picture on screen as a 640x480 PNG
# in XDG_PICTURES_DIR, and the game goes on.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"
start_xvfb

out="$(mktemp -d)"
export XDG_PICTURES_DIR="$out/pictures"
mkdir -p "$XDG_PICTURES_DIR"
cd "$build"
./kestova 2>"$out/stderr" &
game=$!
fail() {
    echo "screenshot: $1"
    cat "$out/stderr"
    kill "$game" 2>/dev/null || true
    exit 1
}

wait_for_window "Kestova!" 60 >/dev/null || fail "no game window"
sleep 2
hold_key F12 0.15
shot=""
for _ in $(seq 1 50); do
    shot="$(find "$XDG_PICTURES_DIR" -name 'kestova-*.png' | head -n1)"
    [ -n "$shot" ] && break
    sleep 0.1
done
[ -n "$shot" ] || fail "no screenshot in $XDG_PICTURES_DIR"
[[ "$(basename "$shot")" =~ ^kestova-[0-9]{8}-[0-9]{6}\.png$ ]] || fail "named $(basename "$shot")"
size="$(identify -format '%wx%h' "$shot")"
[ "$size" = "640x480" ] || fail "the screenshot is $size"
sleep 0.5
kill -0 "$game" 2>/dev/null || fail "the game ended after F12"
kill "$game"
wait "$game" 2>/dev/null || true
rm -rf "$out"
