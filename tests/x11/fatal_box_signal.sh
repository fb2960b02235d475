#!/usr/bin/env bash
# The fatal error box of the real game without its archive: the box's long
# text is wrapped so that the box fits the screen, and SIGTERM or SIGINT end
# the program while the box waits, with the error's exit code 255.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"
start_xvfb 1024x768x24

# A folder with the program and no Kestova.dat anywhere it looks.
alone="$(mktemp -d /tmp/kestova_alone_XXXXXX)/bin"
mkdir -p "$alone"
cp "$build/kestova" "$alone/"
cd "$alone"
for signal in TERM INT; do
    ./kestova --window 2>/dev/null &
    game=$!
    for _ in $(seq 1 150); do xwininfo -name "ZefDX Error" >/dev/null 2>&1 && break; sleep 0.2; done
    width="$(xwininfo -name "ZefDX Error" 2>/dev/null | awk '/Width:/ {print $2}')"
    [ -n "$width" ] || { kill -9 "$game"; echo "fatal_box_signal: no error box"; exit 1; }
    below "$width" 1024 || { kill -9 "$game"; echo "fatal_box_signal: the box is $width pixels wide"; exit 1; }
    kill -s "$signal" "$game"
    wait_for_exit "$game" 5 || { kill -9 "$game"; echo "fatal_box_signal: SIG$signal left the box up"; exit 1; }
    code=0
    wait "$game" || code=$?
    [ "$code" -eq 255 ] || { echo "fatal_box_signal: SIG$signal gave exit code $code, expected 255"; exit 1; }
    # The server drops the ended program's box a moment later.
    for _ in $(seq 1 50); do xwininfo -name "ZefDX Error" >/dev/null 2>&1 || break; sleep 0.1; done
done
rm -rf "$(dirname "$alone")"
echo "fatal_box_signal: the box fits and both signals end it with 255"
