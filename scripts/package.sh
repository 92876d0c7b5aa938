#!/bin/bash
# Builds the release artefacts with CPack into dist/: the Debian package (VST plug-in, LV2 bundle,
# bleepify) and a zip for each Windows DLL with its plain-text readme.
#   scripts/package.sh            all three
#   BLEEP_SKIP_WINDOWS=1 ...      the Debian package only
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BLEEP_BUILD_DIR:-$root/build}/release
dist=${BLEEP_DIST_DIR:-$root/dist}
jobs=${BLEEP_JOBS:-$(nproc)}
mkdir -p "$dist"

package() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBLEEP_TESTS=OFF -DBLEEP_BENCH=OFF "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    (cd "$dir" && cpack -B "$dir/packages" >/dev/null)
    find "$dir/packages" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.zip' \) -exec cp {} "$dist/" \;
}

package "$build/native"
if [ -z "${BLEEP_SKIP_WINDOWS:-}" ]; then
    for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
        package "$build/$triple" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DBLEEP_MINGW_TRIPLE=$triple
    done
fi
ls -l "$dist"
