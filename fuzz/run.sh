#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, ASan + UBSan) and runs each for the
# given number of seconds, one after another. Past findings under
# fuzz/regressions/<harness>/ are replayed first. Exits non-zero on a finding;
# the crashing input is kept under <build>/fuzz/artifacts/<harness>/.
#
#   fuzz/run.sh [seconds-per-harness] [harness...]   # default 30 s, all seven
#   KESTOVA_FUZZ_BUILD=dir   build directory (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=(archive bmp wav zan net blit recording watch)
build="${KESTOVA_FUZZ_BUILD:-build-fuzz}"

# libFuzzer comes with clang's runtime package; without it there is nothing to run.
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    >"$probe/probe.cpp"
if ! command -v clang++ >/dev/null ||
    ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
    echo "fuzz: SKIPPED, clang++ with libFuzzer (-fsanitize=fuzzer) is not available" >&2
    exit 0
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTOVA_FUZZ=ON -DKESTOVA_SANITIZE=ON -DKESTOVA_TESTS=OFF -DKESTOVA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
out="$build/fuzz"
status=0
for h in "${harnesses[@]}"; do
    bin="$out/${h}_fuzz"
    if [ ! -x "$bin" ]; then
        echo "fuzz: no harness named $h" >&2
        exit 2
    fi
    if compgen -G "fuzz/regressions/$h/*" >/dev/null; then
        echo "fuzz: $h: replaying past findings"
        "$bin" fuzz/regressions/"$h"/* >/dev/null 2>"$out/$h-replay.log" || {
            echo "fuzz: $h: a past finding fails again, see $out/$h-replay.log" >&2
            status=1
            continue
        }
    fi
    corpus="$out/corpus/$h"
    mkdir -p "$corpus" "$out/artifacts/$h"
    cp -n "$out/seeds/$h"/* "$corpus"/ 2>/dev/null || true
    echo "fuzz: $h for ${seconds}s"
    dict=()
    [ -f "fuzz/$h.dict" ] && dict=(-dict="fuzz/$h.dict")
    if "$bin" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
        "${dict[@]}" -artifact_prefix="$out/artifacts/$h/" "$corpus" \
        >"$out/$h.log" 2>&1; then
        runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$h.log" | grep -o '[0-9]*$')"
        echo "fuzz: $h: no finding in ${runs:-?} executions"
    else
        echo "fuzz: $h: FINDING, see $out/$h.log and $out/artifacts/$h/" >&2
        tail -n 40 "$out/$h.log" >&2
        status=1
    fi
done
exit "$status"
