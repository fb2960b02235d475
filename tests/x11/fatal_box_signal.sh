#!/usr/bin/env bash
# The fatal error box of the real game without its archive: the box's long
# text is wrapped so that the box fits the screen, and SIGTERM or SIGINT end
# the program while the box waits, with the error's exit code 255.
source "$(dirname "$0")/lib.sh" "$@"
screen_up 1024x768

# A folder with the program and no Kestova.dat anywhere it looks.
alone="$WORK/alone/bin"
mkdir -p "$alone"
cp "$build/kestova" "$alone/"
cd "$alone"
for signal in TERM INT; do
    CASE="SIG$signal"
    run_program ./kestova --window
    for _ in $(seq 1 150); do
        xwininfo -name "ZefDX Error" >/dev/null 2>&1 && break
        alive || fail "ended without showing the error box"
        sleep 0.2
    done
    width="$(xwininfo -name "ZefDX Error" 2>/dev/null | awk '/Width:/ {print $2}')"
    [ -n "$width" ] || fail "no error box"
    below "$width" 1024 || fail "the box is $width pixels wide"
    kill -s "$signal" "$GAME"
    expect_exit 255 5 "SIG$signal"
    # The server drops the ended program's box a moment later.
    for _ in $(seq 1 50); do xwininfo -name "ZefDX Error" >/dev/null 2>&1 || break; sleep 0.1; done
done
passed
