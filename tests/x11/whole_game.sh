#!/usr/bin/env bash
# The real game under Xvfb, played from outside: intro, splash pictures, logo,
# the menu set to computer against computer with 1 war day and 1 palm, the
# match, the end screen, the menu again, the quit screen twice (back, then
# quit), the two closing pictures, and exit code 0. Screenshots are kept in
# the folder printed at the end (KESTOVA_SHOTS overrides it).
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"
start_xvfb

shots="${KESTOVA_SHOTS:-$(mktemp -d /tmp/kestova_whole_game_XXXXXX)}"
mkdir -p "$shots/match" "$shots/ref"
logo="$(extract_picture "$build" gfx/logo.bmp "$shots/ref")"
cd "$build"
timeout 280 ./kestova --window 2>"$shots/stderr" &
game=$!

fail() {
    echo "whole_game: $1 (screenshots in $shots)"
    kill "$game" 2>/dev/null || true
    exit 1
}
alive() { kill -0 "$game" 2>/dev/null; }
tap() {  # held across a few 38 ms frames (and a busy machine's slow ones), then a pause
    hold_key "$1" 0.3
    sleep "${2:-0.3}"
}
# Pixels that differ between two screenshots, with a little fuzz.
differing() { compare -metric AE -fuzz 5% "$1" "$2" null: 2>&1 | awk '{print int($1)}' || true; }

id="$(wait_for_window "Kestova!" 30)" || fail "no game window"

# Held Escape ends the intro and Space skips each splash picture until the
# logo shows (however long a busy machine takes); it cannot leave the logo,
# Escape afterwards does.
read -r x y w h < <(geometry "$id")
reach_logo "$shots" "$logo" "$game" "$x" "$y" "$w" "$h" || fail "the logo screen never showed"
leave_logo "$shots" "$logo" "$game" "$x" "$y" "$w" "$h" || fail "Escape did not leave the logo"
sleep 0.5
alive || fail "the game ended during the start-up screens"

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

for _ in $(seq 1 50); do
    alive || break
    sleep 0.2
done
alive && fail "the game did not end after the closing pictures"
set +e
wait "$game"
code=$?
set -e
[ "$code" -eq 0 ] || { cat "$shots/stderr"; fail "exit code $code, expected 0"; }
echo "whole_game: passed (screenshots in $shots)"
