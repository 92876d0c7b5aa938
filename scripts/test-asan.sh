#!/bin/bash
# The editor and GUI toolkit tests, and the plug-in's rebuilds under refused allocations, with
# every library compiled for AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of
# their own (scripts/test.sh runs every scripts/test-*.sh). A host may close the editor from a
# callback in the middle of a gesture, or refuse memory in the middle of a rebuild; only a
# sanitizer reliably sees code that goes on working on freed or too small memory.
#   BLEEP_ASAN_BUILD_DIR=DIR    build folder, default build/asan
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BLEEP_ASAN_BUILD_DIR:-${BLEEP_BUILD_DIR:-$root/build}/asan}
jobs=${BLEEP_JOBS:-$(nproc)}

mkdir -p "$build"
if ! cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBLEEP_SANITIZE=ON \
    -DBLEEP_BENCH=OFF -DBLEEP_TSAN=OFF >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
fi
cmake --build "$build" --target test_editor test_gui test_plugin -j"$jobs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build/tests/editor/test_editor"
"$build/tests/gui/test_gui"
"$build/tests/plugin/test_plugin" --gtest_filter='BleepifierAllocation.ARefused*:HostCallSafety.*'

