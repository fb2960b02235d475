#!/usr/bin/env bash
# The settings file across a restart of the real game: the menu is changed
# (right player computer, war days 7), the game quits from the menu, and the
# next start shows the menu as it was left.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"
start_xvfb

shots="${KESTOVA_SHOTS:-$(mktemp -d /tmp/kestova_settings_XXXXXX)}"
mkdir -p "$shots/ref"
logo="$(extract_picture "$build" gfx/logo.bmp "$shots/ref")"
cd "$build"

tap() { hold_key "$1" 0.3; sleep 0.3; }
# Pixels that differ between two screenshots, with a little fuzz.
differing() { compare -metric AE -fuzz 5% "$1" "$2" null: 2>&1 | awk '{print int($1)}' || true; }

# start_to_menu: starts the game and brings it to the menu; sets $game.
start_to_menu() {
    ./kestova --window 2>>"$shots/stderr" &
    game=$!
    local id x y w h
    id="$(wait_for_window "Kestova!" 30)" || { echo "settings_restart: no game window"; exit 1; }
    read -r x y w h < <(geometry "$id")
    reach_logo "$shots" "$logo" "$game" "$x" "$y" "$w" "$h"
    leave_logo "$shots" "$logo" "$game" "$x" "$y" "$w" "$h"
    sleep 1
}

# quit_from_menu: Escape, any key on the quit screen, one key per closing picture.
quit_from_menu() {
    tap Escape
    sleep 1
    tap space
    sleep 0.5
    tap space
    sleep 0.5
    tap space
    wait_for_exit "$game" 15 || { echo "settings_restart: the game did not quit"; exit 1; }
    wait "$game" || { echo "settings_restart: exit code $?"; exit 1; }
}

start_to_menu
tap Down; tap Down; sleep 1
screenshot "$shots/defaults.png"
tap Up; tap Right; tap Down; tap Right; tap Right; sleep 1
screenshot "$shots/changed.png"
quit_from_menu
grep -q "^right_player = computer" "$XDG_CONFIG_HOME/kestova/settings.ini" &&
    grep -q "^war_days = 7" "$XDG_CONFIG_HOME/kestova/settings.ini" ||
    { echo "settings_restart: the settings file lacks the change"; exit 1; }

start_to_menu
tap Down; tap Down; sleep 1
screenshot "$shots/restarted.png"
quit_from_menu

same="$(differing "$shots/restarted.png" "$shots/changed.png")"
apart="$(differing "$shots/restarted.png" "$shots/defaults.png")"
# The clouds drift: a few hundred pixels; the two changed values are more.
below "$same" 400 || { echo "settings_restart: the restarted menu differs ($same pixels; $shots)"; exit 1; }
below 400 "$apart" || { echo "settings_restart: the menu shows the defaults ($apart pixels; $shots)"; exit 1; }
[ ! -s "$shots/stderr" ] || { echo "settings_restart: stderr: $(cat "$shots/stderr")"; exit 1; }
echo "settings_restart: the menu came back as it was left"
