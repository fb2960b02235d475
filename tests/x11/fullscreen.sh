#!/usr/bin/env bash
# Full screen as players get it, with and without a window manager, at
# 1024x768 and 1920x1080: the logo screen shows the whole picture, 4:3 with
# black bars, and the window covers the screen. Each run then ends with a
# close request during the start-up screens (Alt+F4, or SIGTERM and SIGINT
# at 1920x1080): exit code 0 within a second.
source "$(dirname "$0")/lib.sh" "$@"
logo="$(extract_picture "$build" gfx/logo.bmp "$WORK")"

# one_case SCREEN WM(wm/no-wm) CLOSE(alt-F4, TERM, INT)
one_case() {
    local screen="$1" wm="$2" close="$3" id size
    CASE="$screen $wm $close"
    local shots="$WORK/$screen-$wm"
    mkdir -p "$shots"
    screen_up "$screen" "$wm"
    run_game
    id="$(game_window 30)"
    reach_logo "$shots" "$logo" "$GAME" || fail "the logo screen is not whole"
    size="$(wait_for_size "$id" "$screen")" || fail "the window is $size, not the whole screen"
    if [ "$close" = alt-F4 ]; then
        hold_keys "alt F4" 0.1
    else
        kill -s "$close" "$GAME"
    fi
    expect_exit 0 1 "$close"
    passed
}

one_case 1024x768 no-wm alt-F4
one_case 1024x768 wm alt-F4
one_case 1920x1080 no-wm TERM
one_case 1920x1080 wm INT
