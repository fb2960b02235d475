#!/usr/bin/env bash
# The real game under Xvfb: it opens its window, runs frames, and F10 ends it
# with exit code 255 and the emergency-exit text on standard error.
source "$(dirname "$0")/lib.sh" "$@"
screen_up 1024x768

run_game --window
game_window >/dev/null
sleep 2
end_with_f10
[ "$code" -eq 255 ] || fail "exit code $code, expected 255"
grep -q "Function ZefInput::update(): 'User requested emergency exit.'" "$WORK/stderr" ||
    fail "emergency-exit text missing"
passed
