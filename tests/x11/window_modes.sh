#!/usr/bin/env bash
# The display modes under a window manager, on a machine without sound: the
# non-fatal "no sound" box, after which full screen and the hidden pointer
# come back; Alt+Enter to a window and back, the picture whole at every size;
# Alt+Enter in the menu never counts as Return; Alt+F4 in a match ends the
# program with exit code 0 within a second.
source "$(dirname "$0")/lib.sh" "$@"
shots="$WORK"
mkdir -p "$shots/ref"
logo="$(extract_picture "$build" gfx/logo.bmp "$shots/ref")"
screen_up 1024x768 wm
export SDL_AUDIODRIVER=no-such-driver
run_game

# pointer_hidden: the pointer, moved over the game, shows no image.
pointer_hidden() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    [ "$("$build/tests/cursor_probe")" = hidden ]
}
# The box comes over the full-screen game; OK lets the game go on.
for _ in $(seq 1 100); do
    xwininfo -name "ZefDX Error" >/dev/null 2>&1 && break
    alive || fail "the game ended before the no-sound box"
    sleep 0.2
done
grep -q "Cannot create DirectSound object. Continuing without sound." "$shots/stderr" \
    || fail "no no-sound box"
screenshot "$shots/box.png"
click_box_ok || fail "could not close the box"
id="$(game_window 10)"
size="$(wait_for_size "$id" 1024x768)" || fail "after the box the window is $size, not full screen"
pointer_hidden 500 400 || fail "the pointer shows after the box"

reach_logo "$shots" "$logo" "$GAME" || fail "the logo screen is not whole"

# Alt+Enter: a window at the largest whole multiple that fits, then resized.
hold_keys "alt Return" 0.1
size="$(wait_for_size "$id" 640x480)" || fail "Alt+Enter gave a ${size} window, not 640x480"
sleep 0.5
expect_shows "$logo" window "$id"
xdotool windowsize "$id" 900 500
size="$(wait_for_size "$id" 900x500)" || fail "the window did not take 900x500 ($size)"
sleep 0.5
expect_shows "$logo" resized "$id"
hold_keys "alt Return" 0.1
size="$(wait_for_size "$id" 1024x768)" || fail "Alt+Enter did not go back to full screen ($size)"
sleep 0.5
expect_shows "$logo" full_again "$id"
pointer_hidden 510 410 || fail "the pointer shows after Alt+Enter"

# The menu, on its start row: Alt+Enter there switches the display only.
leave_logo "$shots" "$logo" "$GAME" || fail "Escape did not leave the logo"
sleep 0.5
for _ in 1 2 3 4; do hold_key Down 0.3; sleep 0.3; done
sleep 1
screenshot "$shots/menu.png"
convert "$shots/menu.png" -resize '640x480!' "$shots/menu_ref.png"
hold_keys "alt Return" 0.1
wait_for_size "$id" 640x480 >/dev/null || fail "Alt+Enter in the menu did not give a window"
sleep 1.5
expect_shows "$shots/menu_ref.png" menu_window "$id"
hold_keys "alt KP_Enter" 0.1
wait_for_size "$id" 1024x768 >/dev/null || fail "Alt+keypad Enter did not go back to full screen"
sleep 1.5
expect_shows "$shots/menu_ref.png" menu_full "$id"

# Return starts the match; Alt+F4 in it ends the program the normal way.
hold_key Return 0.3
sleep 4
screenshot "$shots/match.png"
alive || fail "the game ended before Alt+F4"
hold_keys "alt F4" 0.1
expect_exit 0 1 "Alt+F4 in the match"
passed
