#!/usr/bin/env bash
# Re-records the golden runs under tests/golden. Never part of a build or a
# test run: changing a golden file is a decision, and the commit that does it
# says which behaviour changed and why.
#   bash scripts/golden.sh retrace [NAME...]  same keys, new traces (the usual case)
#   bash scripts/golden.sh record NAME...     the scenario's player anew: new keys too
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { sed -n '2,6p' "$0" >&2; exit 2; }
source scripts/deps.sh
ensure_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kestova_golden kestova_data
build/tests/kestova_golden "$@"
git status --short tests/golden
