#!/bin/bash
# The main job, from a fresh Debian machine: install the packages of the native build (only
# those, and only where missing), build the plug-in and the renderer, and render the built-in
# phrase through the real plug-in binary into OUT (audio files, one picture per waveform, and the
# editor's picture). The test set-up (Wine, i386) is the test command's, not the demo's.
#   scripts/demo.sh [OUT]        (default: out)
#   BLEEP_NO_INSTALL=1 ...       no package step
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-out}
build=${BLEEP_BUILD_DIR:-$root/build}/native
if [ -z "${BLEEP_NO_INSTALL:-}" ]; then
    "$root/scripts/install-deps.sh" --demo
fi
# Tests and benchmarks off: their libraries are not among the demo's packages.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBLEEP_TESTS=OFF -DBLEEP_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target Bleepifier bleepify
"$build/tools/bleepify/bleepify" --plugin "$build/plugin/Bleepifier.so" --demo "$out"
echo "Wrote the demo to $out:"
ls "$out"
