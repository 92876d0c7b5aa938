#!/bin/bash
# Builds the plug-in fuzzer with clang (coverage, AddressSanitizer and UndefinedBehaviorSanitizer
# on every library) in its own build folder and runs it for a bounded time. Exits non-zero on any
# finding; the input that caused it is left in the build folder's findings/.
#   scripts/fuzz.sh [SECONDS]          run time, default 60
#   BLEEP_FUZZ_BUILD_DIR=DIR           build folder, default build/fuzz
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-${BLEEP_FUZZ_SECONDS:-60}}
build=${BLEEP_FUZZ_BUILD_DIR:-${BLEEP_BUILD_DIR:-$root/build}/fuzz}
jobs=${BLEEP_JOBS:-$(nproc)}

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed (Debian packages clang and libclang-rt-14-dev)" >&2
    exit 1
fi
mkdir -p "$build"
# Edge coverage everywhere; comparison tracing would make the signal processing ten times slower.
coverage="-fsanitize=fuzzer-no-link -fno-sanitize-coverage=trace-cmp"
if ! cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    "-DCMAKE_C_FLAGS=$coverage" "-DCMAKE_CXX_FLAGS=$coverage" \
    -DBLEEP_SANITIZE=ON -DBLEEP_FUZZ=ON -DBLEEP_BENCH=OFF >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
fi
cmake --build "$build" --target plugin_fuzzer -j"$jobs"

# The corpus stays in the build folder, so later runs start from what earlier ones found; the
# inputs of past findings (tests/fuzz/seeds) are replayed first on every run. Host call
# sequences need long inputs from the start, hence no gradual length growth.
mkdir -p "$build/corpus" "$build/findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build/tests/fuzz/plugin_fuzzer" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 \
    -max_len=4096 -len_control=0 -print_final_stats=1 -artifact_prefix="$build/findings/" \
    "$build/corpus" "$root/tests/fuzz/seeds"
