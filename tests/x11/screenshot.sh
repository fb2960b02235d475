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
shot="$(saved_file "$XDG_PICTURES_DIR" png)" || fail "no screenshot"
size="$(identify -format '%wx%h' "$shot")"
[ "$size" = "640x480" ] || fail "the screenshot is $size"
sleep 0.5
alive || fail "the game ended after F12"
passed
