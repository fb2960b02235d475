#!/usr/bin/env bash
# The settings file across a restart of the real game: the menu is changed
# (right player computer, war days 7), the game quits from the menu, and the
# next start shows the menu as it was left.
source "$(dirname "$0")/lib.sh" "$@"
screen_up 1024x768

# quit_from_menu: Escape, any key on the quit screen, one key per closing picture.
quit_from_menu() {
    tap Escape
    sleep 1
    tap space 0.5
    tap space 0.5
    tap space
    expect_exit 0 15 "quitting from the menu"
}

run_game --window
to_menu
tap Down; tap Down; sleep 1
screenshot "$WORK/defaults.png"
tap Up; tap Right; tap Down; tap Right; tap Right; sleep 1
screenshot "$WORK/changed.png"
quit_from_menu
settings="$XDG_CONFIG_HOME/kestova/settings.ini"
grep -q "^right_player = computer" "$settings" && grep -q "^war_days = 7" "$settings" ||
    fail "the settings file lacks the change"

CASE=restarted
run_game --window
to_menu
tap Down; tap Down; sleep 1
screenshot "$WORK/restarted.png"
quit_from_menu

same="$(differing "$WORK/restarted.png" "$WORK/changed.png")"
apart="$(differing "$WORK/restarted.png" "$WORK/defaults.png")"
# The clouds drift: a few hundred pixels; the two changed values are more.
below "$same" 400 || fail "the restarted menu differs ($same pixels)"
below 400 "$apart" || fail "the menu shows the defaults ($apart pixels)"
[ ! -s "$WORK/stderr" ] || fail "wrote to standard error"
passed
