#!/usr/bin/env bash
# The real game under Xvfb, played from outside: intro, splash pictures, logo,
# the menu set to computer against computer with 1 war day and 1 palm, the
# match, the end screen, the menu again, the quit screen twice (back, then
# quit), the two closing pictures, and exit code 0. Screenshots are kept in
# KESTOVA_SHOTS when it is set, and on failure.
source "$(dirname "$0")/lib.sh" "$@"
screen_up 1024x768
shots="${KESTOVA_SHOTS:-$WORK}"
[ -z "${KESTOVA_SHOTS:-}" ] || KEEP_WORK=1
mkdir -p "$shots/match"
run_game --window
to_menu

# Menu: right player computer, 1 war day, 1 palm, then the start row.
tap Down; tap Right; tap Down
for _ in 1 2 3 4; do tap Left; done
tap Down; tap Left; tap Left; tap Down
sleep 1.0
screenshot "$shots/menu.png"
tap Return 0.1

# The match: shots every half second; a harmless key every few seconds leaves
# the end screen once it is up. Back in the menu when the picture matches.
back_in_menu=0
n=0
for _ in $(seq 1 400); do
    alive || fail "the game ended during the match"
    n=$((n + 1))
    shot="$shots/match/$(printf '%04d' "$n").png"
    screenshot "$shot"
    [ "$n" -eq 10 ] && cp "$shot" "$shots/morning.png"
    if [ $((n % 8)) -eq 0 ] && [ "$n" -gt 16 ]; then
        if [ "$(differing "$shot" "$shots/menu.png")" -lt 3000 ]; then
            back_in_menu=1
            break
        fi
        cp "$shot" "$shots/before_key.png"
        tap q 0.1
    fi
    sleep 0.5
done
[ "$back_in_menu" -eq 1 ] || fail "never came back to the menu"
[ -f "$shots/before_key.png" ] && cp "$shots/before_key.png" "$shots/end_screen.png"

# Quit screen: Escape goes back; Escape then another key quits.
tap Escape 1.0
tap Escape 1.0
alive || fail "Escape on the quit screen ended the game"
screenshot "$shots/menu_again.png"
[ "$(differing "$shots/menu_again.png" "$shots/menu.png")" -lt 3000 ] \
    || fail "Escape on the quit screen did not go back to the menu"
tap Escape 1.0
tap q 1.0
screenshot "$shots/closing_1.png"
tap q 1.0
screenshot "$shots/closing_2.png"
tap q 0.5

expect_exit 0 10 "the closing pictures"
passed
