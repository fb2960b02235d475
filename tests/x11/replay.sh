#!/usr/bin/env bash
# The real game under Xvfb: a computer match, left with Escape, is saved in
# the replays folder; --replay plays it, a jump forward changes the picture
# and Escape ends the program with exit code 0.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"
start_xvfb

shots="$(mktemp -d /tmp/kestova_replay_XXXXXX)"
export XDG_DATA_HOME="$shots/home"
mkdir -p "$shots/ref"
logo="$(extract_picture "$build" gfx/logo.bmp "$shots/ref")"
cd "$build"
timeout 200 ./kestova --window 2>"$shots/stderr" &
game=$!
fail() {
    echo "replay: $1 (screenshots in $shots)"
    cat "$shots"/*.err "$shots/stderr" 2>/dev/null || true
    kill "$game" 2>/dev/null || true
    exit 1
}

id="$(wait_for_window "Kestova!" 30)" || fail "no game window"
read -r x y w h < <(geometry "$id")
reach_logo "$shots" "$logo" "$game" "$x" "$y" "$w" "$h" || fail "the logo screen never showed"
leave_logo "$shots" "$logo" "$game" "$x" "$y" "$w" "$h" || fail "Escape did not leave the logo"
sleep 0.5
# Menu: the right player to the computer, then start from the start row.
for key in Down Right Down Down Down Return; do
    hold_key "$key" 0.3
    sleep 0.3
done
sleep 15
hold_key Escape 0.3
recording=""
for _ in $(seq 1 100); do
    recording="$(find "$XDG_DATA_HOME/kestova/replays" -name 'kestova-*.rec' 2>/dev/null | head -n1 || true)"
    [ -n "$recording" ] && break
    sleep 0.1
done
[ -n "$recording" ] || fail "no recording in $XDG_DATA_HOME/kestova/replays"
[[ "$(basename "$recording")" =~ ^kestova-[0-9]{8}-[0-9]{6}\.rec$ ]] ||
    fail "named $(basename "$recording")"
kill "$game"
wait "$game" 2>/dev/null || true

timeout 100 ./kestova --window --replay "$recording" 2>"$shots/replay.err" &
game=$!
wait_for_window "Kestova!" 30 >/dev/null || fail "no replay window"
sleep 4
screenshot "$shots/before.png"
hold_key Right 0.15
sleep 0.5
screenshot "$shots/after.png"
changed="$(compare -metric AE -fuzz 5% "$shots/before.png" "$shots/after.png" null: 2>&1 |
    awk '{print int($1)}' || true)"
[ "${changed:-0}" -gt 1000 ] || fail "the jump forward changed ${changed:-no} pixels"
kill -0 "$game" 2>/dev/null || fail "the replay ended by itself"
hold_key Escape 0.15
wait_for_exit "$game" 10 || fail "Escape did not end the replay"
code=0
wait "$game" || code=$?
[ "$code" -eq 0 ] || fail "the replay ended with exit code $code"
rm -rf "$shots"
