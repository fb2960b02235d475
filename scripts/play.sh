#!/usr/bin/env bash
# Builds the game alone (no tests, no benchmarks) and starts it with the
# generated Kestova.dat. Installs only what building and playing need.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${PLAY_PACKAGES[@]}"
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTOVA_TESTS=OFF -DKESTOVA_BENCH=OFF
cmake --build build-play -j"$(nproc)"
cd build-play
exec ./kestova "$@"
