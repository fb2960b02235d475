#!/usr/bin/env bash
# The real game under Xvfb: a computer match, left with Escape, is saved in
# the replays folder; --replay plays it, a jump forward changes the picture
# and Escape ends the program with exit code 0, also when pressed during a
# title card, which the replay runs as one long stretch.
source "$(dirname "$0")/lib.sh" "$@"
screen_up 1024x768
run_game --window
to_menu
# Menu: the right player to the computer, then start from the start row.
for key in Down Right Down Down Down; do tap "$key"; done
screenshot "$WORK/menu.png"
tap Return
sleep 15
screenshot "$WORK/match.png"
recording="$(leave_match "$XDG_DATA_HOME/kestova/replays")" || fail "no recording"
stop_game

CASE=replay
run_game --window --replay "$recording"
game_window 30 >/dev/null
sleep 4
screenshot "$WORK/before.png"
hold_key Right 0.15
sleep 0.5
screenshot "$WORK/after.png"
changed="$(differing "$WORK/before.png" "$WORK/after.png")"
[ "${changed:-0}" -gt 1000 ] || fail "the jump forward changed ${changed:-no} pixels"
alive || fail "the replay ended by itself"
hold_key Escape 0.15
expect_exit 0 10 "Escape"

CASE="title card"
run_game --window --replay "$recording"
game_window 30 >/dev/null
sleep 1.5
screenshot "$WORK/card.png"
hold_key Escape 0.15
expect_exit 0 5 "Escape"
passed
