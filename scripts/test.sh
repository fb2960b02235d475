#!/usr/bin/env bash
# Builds everything and runs every test: the format check, the normal build,
# then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzzers briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages
jobs="$(nproc)"

# One format for all the code: every tracked C/C++ file as clang-format
# (the repository's .clang-format) writes it. Fix with clang-format -i.
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

if [ "${KESTOVA_SKIP_SANITIZERS:-0}" != 1 ]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTOVA_SANITIZE=ON -DKESTOVA_BENCH=OFF
    # The build runs the asset generator; leaks of a one-shot tool are not
    # what this run looks for.
    ASAN_OPTIONS=detect_leaks=0 cmake --build build-asan -j"$jobs"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # fontconfig keeps its configuration for the life of the process.
    export LSAN_OPTIONS="suppressions=$PWD/cmake/lsan.supp"
    (cd build-asan && ctest --output-on-failure -j"$jobs" -E '^x11_')
fi

# A short smoke run of every fuzz harness, so that a regression in a file
# reader shows at once (fuzz/run.sh skips with a message without libFuzzer).
if [ "${KESTOVA_SKIP_FUZZ:-0}" != 1 ]; then
    bash fuzz/run.sh "${KESTOVA_FUZZ_SECONDS:-30}"
fi
