#!/usr/bin/env bash
# Fault-planting check: plants N seeded faults one at a time in src/ (outside
# src/platform), rebuilds in build-mutants/, runs the fast suite after each,
# and reports the share caught and every survivor. Usage: mutants.sh N SEED
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { echo "usage: scripts/mutants.sh N SEED [--only PATH-PART]" >&2; exit 2; }
source scripts/deps.sh
ensure_packages
exec python3 scripts/mutants.py "$@"
