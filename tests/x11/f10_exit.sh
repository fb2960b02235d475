#!/usr/bin/env bash
# The real game under Xvfb: it opens its window, runs frames, and F10 ends it
# with exit code 255 and the emergency-exit text on standard error.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"
start_xvfb

out="$(mktemp -d)"
cd "$build"
./kestova --window 2>"$out/stderr" &
game=$!

if ! wait_for_window "Kestova!" 60 >/dev/null; then
    echo "no game window"
    cat "$out/stderr"
    kill "$game" 2>/dev/null
    exit 1
fi
sleep 2
screenshot "$out/running.png"
hold_key F10 0.15
# The error box is modal; close it the way a player would.
for _ in $(seq 1 100); do
    kill -0 "$game" 2>/dev/null || break
    click_box_ok 2>/dev/null || true
    sleep 0.2
done
if kill -0 "$game" 2>/dev/null; then
    echo "the game did not end after F10"
    kill -9 "$game"
    exit 1
fi
set +e
wait "$game"
code=$?
set -e
cat "$out/stderr"
[ "$code" -eq 255 ] || { echo "exit code $code, expected 255"; exit 1; }
grep -q "Function ZefInput::update(): 'User requested emergency exit.'" "$out/stderr" \
    || { echo "emergency-exit text missing"; exit 1; }
echo "f10_exit: passed"
