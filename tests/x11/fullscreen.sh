#!/usr/bin/env bash
# Full screen as players get it, with and without a window manager, at
# 1024x768 and 1920x1080: the logo screen shows the whole picture, 4:3 with
# black bars, and the window covers the screen. Each run then ends with a
# close request during the start-up screens (Alt+F4, or SIGTERM and SIGINT
# at 1920x1080): exit code 0 within a second.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"

work="$(mktemp -d /tmp/kestova_fullscreen_XXXXXX)"
logo="$(extract_picture "$build" gfx/logo.bmp "$work")"

# one_case SCREEN WM(yes/no) CLOSE(alt-F4, TERM, INT)
one_case() {
    local screen="$1" wm="$2" close="$3" name="$1-wm-$2" game id
    local shots="$work/$name"
    mkdir -p "$shots"
    fail() {
        echo "fullscreen ($name): $1 (screenshots in $shots)"
        cat "$shots/stderr" 2>/dev/null || true
        kill "${game:-}" 2>/dev/null || true
        exit 1
    }
    start_xvfb "${screen}x24" || fail "no X server"
    if [ "$wm" = yes ]; then start_wm || fail "no window manager"; fi
    (cd "$build" && exec ./kestova) 2>"$shots/stderr" &
    game=$!
    id="$(wait_for_window "Kestova!" 30)" || fail "no game window"
    reach_logo "$shots" "$logo" "$game" || fail "the logo screen is not whole"
    local size
    size="$(wait_for_size "$id" "$screen")" || fail "the window is $size, not the whole screen"

    if [ "$close" = alt-F4 ]; then
        hold_keys "alt F4" 0.1
    else
        kill -s "$close" "$game"
    fi
    wait_for_exit "$game" 1 || fail "still running a second after $close"
    local code=0
    wait "$game" || code=$?
    [ "$code" -eq 0 ] || fail "exit code $code after $close, expected 0"
    stop_xvfb
    echo "fullscreen ($name, $close): passed"
}

one_case 1024x768 no alt-F4
one_case 1024x768 yes alt-F4
one_case 1920x1080 no TERM
one_case 1920x1080 yes INT
rm -rf "$work"
