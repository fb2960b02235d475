# The X tests' harness: the real binary under a virtual X server. A script
# starts with `source "$(dirname "$0")/lib.sh" "$@"` (its argument is the
# build folder), then brings up a screen with `screen_up`. Xvfb, the window
# manager and the game are stopped, and the work folder removed on success,
# when the shell exits.
# A script with a frame of its own (the network namespace tests) sources it
# after setting WORK, build and fail, and takes only the functions below.
if [ -z "${WORK:-}" ]; then
    set -euo pipefail
    build="$(cd "$1" && pwd)"
    TEST_NAME="$(basename "$0" .sh)"
    WORK="$(mktemp -d "/tmp/kestova_${TEST_NAME}_XXXXXX")"
    CASE=""
    GAME=""

    # fail MESSAGE: says what went wrong (and where the screenshots are), shows
    # the game's standard error and ends the test.
    fail() {
        echo "$TEST_NAME${CASE:+ ($CASE)}: $* (files in $WORK)"
        cat "$WORK/stderr" 2>/dev/null || true
        stop_game
        exit 1
    }

    passed() {
        echo "$TEST_NAME${CASE:+ ($CASE)}: passed"
    }

    finish() {
        local code=$?
        stop_game
        stop_xvfb
        [ "$code" -ne 0 ] || [ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"
    }
    trap finish EXIT
fi

# screen_up WxH [wm]: a virtual screen of that size (24-bit), with openbox
# managing windows when asked.
screen_up() {
    stop_xvfb
    start_xvfb "${1}x24" || fail "no X server"
    if [ "${2:-}" = wm ]; then start_wm || fail "no window manager"; fi
}

# run_program PROGRAM [ARGS...]: starts it in the current folder, its
# standard error in $WORK/stderr; its pid is $GAME. Started through a
# subshell's exec, it keeps SIGINT's default action (a plain background
# command would ignore it), so SDL can turn SIGINT into a close request.
run_program() {
    (exec "$@") 2>"$WORK/stderr" &
    GAME=$!
}
# run_game [ARGS...]: the built game, in the build folder beside its data.
run_game() {
    (cd "$build" && exec ./kestova "$@") 2>"$WORK/stderr" &
    GAME=$!
}
alive() { [ -n "$GAME" ] && kill -0 "$GAME" 2>/dev/null; }
stop_game() {
    if [ -n "${GAME:-}" ]; then
        kill -9 "$GAME" 2>/dev/null || true
        wait "$GAME" 2>/dev/null || true
        GAME=""
    fi
}

# game_window [SECONDS]: waits for the game's window; prints its id.
game_window() {
    wait_for_window "Kestova!" "${1:-60}" || fail "no game window"
}

# expect_exit CODE SECONDS WHAT: the game ends within SECONDS of WHAT with
# exit code CODE.
expect_exit() {
    local want="$1" secs="$2" what="$3" code=0
    wait_for_exit "$GAME" "$secs" || fail "still running $secs s after $what"
    wait "$GAME" || code=$?
    GAME=""
    [ "$code" -eq "$want" ] || fail "exit code $code after $what, expected $want"
}

# end_with_f10 [no-F10]: presses F10 until the game ends (unless told not
# to: a program that ends by itself must not be beaten to its own box),
# closing the error box as a player would; leaves the exit code in $code.
end_with_f10() {
    local _
    for _ in $(seq 1 100); do
        alive || break
        if ! click_box_ok 2>/dev/null && [ "${1:-}" != no-F10 ]; then hold_key F10 0.2; fi
        sleep 0.2
    done
    alive && fail "the game did not end"
    code=0
    wait "$GAME" || code=$?
    GAME=""
}

# Starts Xvfb on the first free display from :90 up, waits until it answers,
# and sets DISPLAY. Sound goes to SDL's dummy driver (no sound card here).
# The game takes the whole screen unless it is started with --window.
# The game's settings and saved matches go to fresh folders in the work
# folder: it never reads or writes the developer's own.
start_xvfb() {
    XDG_CONFIG_HOME="$(mktemp -d "$WORK/config_XXXXXX")"
    XDG_DATA_HOME="$(mktemp -d "$WORK/data_XXXXXX")"
    export XDG_CONFIG_HOME XDG_DATA_HOME
    local screen="${1:-1024x768x24}"
    local n
    for n in $(seq 90 139); do
        [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
        Xvfb ":${n}" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            # Our own server must be the one answering: another test may
            # have taken this display a moment earlier.
            kill -0 "$XVFB_PID" 2>/dev/null || break
            if DISPLAY=":${n}" xdpyinfo >/dev/null 2>&1 && sleep 0.3 && kill -0 "$XVFB_PID" 2>/dev/null; then
                export DISPLAY=":${n}"
                export SDL_AUDIODRIVER=dummy
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break  # lost the race for this display
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    done
    echo "start_xvfb: no free display" >&2
    return 1
}

stop_xvfb() {
    stop_wm
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# wait_for_window NAME [TIMEOUT_SECONDS]: succeeds once a window of that
# name is mapped; prints its id.
wait_for_window() {
    local name="$1" timeout="${2:-20}" id
    local end=$((SECONDS + timeout))
    while [ "$SECONDS" -lt "$end" ]; do
        id="$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# hold_key KEY [SECONDS]: presses an X key name (F10, space, Escape, w, KP_8,
# Shift_L...) for a while, long enough for a few 38 ms frames to see it.
hold_key() {
    local key="$1" secs="${2:-0.15}"
    xdotool keydown "$key"
    sleep "$secs"
    xdotool keyup "$key"
}

# screenshot FILE: the whole screen as a picture.
screenshot() {
    import -window root "$1"
}

# click_box_ok: closes the "ZefDX Error" box with its OK button. Fails when
# no such box is shown.
click_box_ok() {
    local info x y w h
    info="$(xwininfo -name "ZefDX Error" 2>/dev/null)" || return 1
    x="$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")"
    y="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")"
    w="$(awk '/Width:/ {print $2}' <<<"$info")"
    h="$(awk '/Height:/ {print $2}' <<<"$info")"
    [ -n "$x" ] && [ -n "$y" ] && [ -n "$w" ] && [ -n "$h" ] || return 1
    # The box's single button sits centred at its bottom edge.
    xdotool mousemove "$((x + w / 2))" "$((y + h - 20))" click 1
    sleep 0.2
    if xwininfo -name "ZefDX Error" >/dev/null 2>&1; then
        # Still there (a different layout): give it the focus and press Return,
        # the box's default button.
        local id
        id="$(xdotool search --name "^ZefDX Error\$" 2>/dev/null | head -n1 || true)"
        [ -n "$id" ] || return 0
        xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id" 2>/dev/null || true
        xdotool key --clearmodifiers Return
        sleep 0.2
    fi
    return 0
}

# start_wm: runs openbox on the display and waits until it manages windows
# (up to 15 seconds: a busy machine starts it slowly); tries twice.
start_wm() {
    local log try i
    log="$(mktemp /tmp/kestova_openbox_XXXXXX)"
    for try in 1 2; do
        openbox --sm-disable >"$log" 2>&1 &
        WM_PID=$!
        for i in $(seq 1 150); do
            if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
                rm -f "$log"
                return 0
            fi
            kill -0 "$WM_PID" 2>/dev/null || break
            sleep 0.1
        done
        stop_wm
    done
    echo "start_wm: openbox did not come up on $DISPLAY:" >&2
    cat "$log" >&2
    rm -f "$log"
    return 1
}

stop_wm() {
    if [ -n "${WM_PID:-}" ]; then
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
        WM_PID=
    fi
}

# hold_keys "KEY..." [SECONDS]: presses a chord (alt Return, alt F4), keys
# down in order and up in reverse.
hold_keys() {
    local keys=($1) secs="${2:-0.15}" i
    for ((i = 0; i < ${#keys[@]}; i++)); do xdotool keydown "${keys[i]}"; done
    sleep "$secs"
    for ((i = ${#keys[@]} - 1; i >= 0; i--)); do xdotool keyup "${keys[i]}"; done
}

# geometry ID: "x y width height" of a window's inside, in screen pixels.
geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}

# extract_picture BUILD NAME DIR: a picture from the game's archive, as PNG
# in DIR; prints its path.
extract_picture() {
    local build="$1" name="$2" dir="$3"
    "$build/kvpack" extract "$build/Kestova.dat" "$dir/data" >/dev/null || return 1
    convert "$dir/data/$name" "$dir/$(basename "$name" .bmp).png" || return 1
    echo "$dir/$(basename "$name" .bmp).png"
}

# picture_distance SHOT REFERENCE [X Y W H]: the 4:3 middle of the area
# (the whole shot by default), scaled back to 640x480, against the 640x480
# reference. Prints the root-mean-square difference, 0 (same) to 1.
picture_distance() {
    local shot="$1" ref="$2" x="${3:-0}" y="${4:-0}" w="${5:-}" h="${6:-}"
    if [ -z "$w" ]; then read -r w h < <(identify -format "%w %h" "$shot"); fi
    local pw=$((h * 4 / 3)) ph="$h"
    if [ "$pw" -gt "$w" ]; then pw="$w"; ph=$((w * 3 / 4)); fi
    convert "$shot" -crop "${pw}x${ph}+$((x + (w - pw) / 2))+$((y + (h - ph) / 2))" +repage \
        -resize '640x480!' "$shot.cmp.png"
    # compare's exit code only says whether the pictures differ at all.
    { compare -metric RMSE "$shot.cmp.png" "$ref" null: 2>&1 || true; } |
        sed -n 's/.*(\(.*\)).*/\1/p'
}

# below A B: succeeds when the number A is less than B.
below() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a != "" && a < b)}'; }

# wait_for_exit PID SECONDS: succeeds once the process has ended.
wait_for_exit() {
    local pid="$1" end
    end=$(($(date +%s%N) + ${2%.*} * 1000000000))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$(date +%s%N)" -lt "$end" ] || return 1
        sleep 0.05
    done
    return 0
}

# How far a screenshot may be from the picture it should show. The real
# picture comes out near 0.02-0.04 (scaling and the blinking text); a
# cropped, zoomed or squashed one is above 0.2.
CLOSE_ENOUGH=0.08

# expect_shows PICTURE NAME [ID]: a screenshot, $WORK/NAME.png, whose
# window ID (the whole screen by default) shows the picture, 4:3.
expect_shows() {
    local area=() distance
    [ -z "${3:-}" ] || read -r -a area < <(geometry "$3")
    screenshot "$WORK/$2.png"
    distance="$(picture_distance "$WORK/$2.png" "$1" "${area[@]}")"
    below "$distance" "$CLOSE_ENOUGH" || fail "$2: the picture is off by $distance"
}

# differing A B: pixels that differ between two screenshots, with a little fuzz.
differing() { compare -metric AE -fuzz 5% "$1" "$2" null: 2>&1 | awk '{print int($1)}' || true; }

# tap KEY [PAUSE]: held across a few 38 ms frames (and a busy machine's slow
# ones), then a pause.
tap() {
    hold_key "$1" 0.3
    sleep "${2:-0.3}"
}

# reach_logo SHOTS LOGO PID [X Y W H]: from the start of the game, ends the
# intro with Escape and skips the splash pictures with Space until the logo
# screen shows in the area; fails after 30 seconds or when the game ends.
# Escape stays down throughout: held, it ends the intro whenever that
# starts, and the logo screen leaves only on a new press.
reach_logo() {
    local shots="$1" logo="$2" pid="$3"
    shift 3
    local distance="" end=$((SECONDS + 30))
    xdotool keydown Escape
    while [ "$SECONDS" -lt "$end" ] && kill -0 "$pid" 2>/dev/null; do
        hold_key space 0.1
        sleep 0.2
        screenshot "$shots/logo.png"
        distance="$(picture_distance "$shots/logo.png" "$logo" "$@")"
        if below "$distance" "$CLOSE_ENOUGH"; then
            xdotool keyup Escape
            return 0
        fi
    done
    xdotool keyup Escape
    echo "reach_logo: the logo screen never showed (last distance ${distance:-none})" >&2
    return 1
}

# leave_logo SHOTS LOGO PID [X Y W H]: Escape until the logo screen is gone.
# The logo screen reads the keys once more just before its wait does, and a
# press first seen by that read is not a new press to the wait: about one
# press in five goes unheard, so a player presses again, and so does this.
leave_logo() {
    local shots="$1" logo="$2" pid="$3" try distance
    shift 3
    for try in 1 2 3 4 5 6 7 8; do
        hold_key Escape 0.3
        sleep 0.7
        kill -0 "$pid" 2>/dev/null || return 1
        screenshot "$shots/leaving.png"
        distance="$(picture_distance "$shots/leaving.png" "$logo" "$@")"
        below "$distance" "$CLOSE_ENOUGH" || return 0
    done
    echo "leave_logo: Escape did not leave the logo screen" >&2
    return 1
}

# wait_for_size ID WxH [SECONDS]: succeeds once the window's inside has that
# size; prints the size it last had.
wait_for_size() {
    local id="$1" want="$2" end=$((SECONDS + ${3:-5})) x y w h
    while :; do
        read -r x y w h < <(geometry "$id") || true
        [ "${w:-}x${h:-}" = "$want" ] && { echo "$want"; return 0; }
        [ "$SECONDS" -lt "$end" ] || { echo "${w:-?}x${h:-?}"; return 1; }
        sleep 0.1
    done
}

# to_menu: from the start of the game just run, through the intro and the
# splash pictures, to the menu.
to_menu() {
    local id x y w h logo="$WORK/ref/logo.png"
    if [ ! -f "$logo" ]; then
        mkdir -p "$WORK/ref"
        extract_picture "$build" gfx/logo.bmp "$WORK/ref" >/dev/null || fail "no logo picture"
    fi
    id="$(wait_for_window "Kestova!" 30)" || fail "no game window"
    read -r x y w h < <(geometry "$id")
    reach_logo "$WORK" "$logo" "$GAME" "$x" "$y" "$w" "$h" || fail "the logo screen never showed"
    leave_logo "$WORK" "$logo" "$GAME" "$x" "$y" "$w" "$h" || fail "Escape did not leave the logo"
    sleep 0.5
    alive || fail "the game ended during the start-up screens"
}

# saved_file DIR EXT [SECONDS]: waits for the game to save kestova-DATE-TIME.EXT
# in DIR (5 s by default); prints its path, or says on standard error what
# is wrong (none, a wrong name) and returns 1.
saved_file() {
    local dir="$1" ext="$2" end=$((SECONDS + ${3:-5})) file=""
    while [ -z "$file" ] && [ "$SECONDS" -le "$end" ]; do
        file="$(find "$dir" -name "kestova-*.$ext" 2>/dev/null | head -n1 || true)"
        [ -n "$file" ] || sleep 0.1
    done
    [ -n "$file" ] || { echo "nothing saved in $dir" >&2; return 1; }
    [[ "$(basename "$file")" =~ ^kestova-[0-9]{8}-[0-9]{6}\.$ext$ ]] ||
        { echo "saved as $(basename "$file")" >&2; return 1; }
    echo "$file"
}

# leave_match DIR: Escape until the match being played is saved in DIR (its
# replays folder); prints the recording's path. A press during a curtain or a
# title card, whose waits read no keys, goes unheard: a player presses again.
leave_match() {
    local try
    for try in 1 2 3; do
        tap Escape
        saved_file "$1" rec 4 2>/dev/null && return 0
    done
    saved_file "$1" rec 1
}
