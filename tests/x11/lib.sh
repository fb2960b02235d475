# Helpers for tests that run the real binary under a virtual X server.
# Source it, then call start_xvfb first; Xvfb is stopped when the shell exits.

# Starts Xvfb on the first free display from :90 up, waits until it answers,
# and sets DISPLAY. Sound goes to SDL's dummy driver (no sound card here) and
# the game opens a plain 640x480 window instead of taking the screen.
start_xvfb() {
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
                export KESTOVA_WINDOWED=1
                trap stop_xvfb EXIT
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
