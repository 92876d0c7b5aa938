#!/bin/bash
# The main job, from a fresh Debian machine: install what the build needs, build the plug-in and
# the renderer, and render the built-in phrase through the real plug-in binary into OUT
# (audio files, one picture per waveform, and the editor's picture).
#   scripts/demo.sh [OUT]        (default: out)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-out}
build=${BLEEP_BUILD_DIR:-$root/build}/native
if [ -z "${BLEEP_NO_INSTALL:-}" ]; then
    "$root/scripts/install-deps.sh"
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target Bleepifier bleepify
"$build/tools/bleepify/bleepify" --plugin "$build/plugin/Bleepifier.so" --demo "$out"
echo "Wrote the demo to $out:"
ls "$out"
