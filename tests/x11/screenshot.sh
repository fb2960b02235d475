#!/usr/bin/env bash
# The real game under Xvfb: F12 saves the picture on screen as a 640x480 PNG
# in XDG_PICTURES_DIR, and the game goes on.
source "$(dirname "$0")/lib.sh" "$@"
screen_up 1024x768

export XDG_PICTURES_DIR="$WORK/pictures"
mkdir -p "$XDG_PICTURES_DIR"
run_game
game_window >/dev/null
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
alive || fail "the game ended after F12"
passed
