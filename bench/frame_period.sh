#!/usr/bin/env bash
# Measures the game's frame period on the real window over 1,000 frames, with
# vsync asked for and without: the main loop's own present and 38 ms pacing,
# full screen. Uses the current display, or its own Xvfb when there is none.
# Usage: bench/frame_period.sh [BUILD_DIR] [SCREEN, e.g. 1920x1080] [FRAMES]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
screen="${2:-1920x1080}"
frames="${3:-1000}"
tool="$build/bench/frame_period/frame_period"
[ -x "$tool" ] || { echo "build $tool first (cmake --build build --target frame_period)" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
    source "$root/tests/x11/lib.sh"
    start_xvfb "${screen}x24"
    echo "Xvfb at $screen"
fi
for vsync in on off; do
    "$tool" --vsync "$vsync" --frames "$frames"
done
