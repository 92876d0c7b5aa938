#!/bin/bash
# Builds every target this machine can build (native Linux, Windows 32-bit and 64-bit) and runs
# every test: unit tests, the host tests through the built binaries (Windows ones under Wine),
# the renderer's end-to-end tests, the sanitizer runs and a bounded fuzz run.
# It installs nothing: where packages are missing it stops at once and names the command that
# installs them.
#   scripts/test.sh            everything
#   BLEEP_SKIP_WINDOWS=1 ...   native only
set -u
root=$(cd "$(dirname "$0")/.." && pwd)

install="scripts/install-deps.sh"
[ -z "${BLEEP_SKIP_WINDOWS:-}" ] || install+=" --native"
if ! missing=$("$root"/$install --check); then
    echo "test.sh: $missing" >&2
    echo "Install them first, as root (or with sudo): $install" >&2
    exit 1
fi
if [ -z "${BLEEP_SKIP_WINDOWS:-}" ] && ! "$root/scripts/enable-i386.sh" --check >/dev/null; then
    echo "note: 32-bit Wine does not start here, so the 32-bit DLL's Wine tests will be skipped;"
    echo "      as root, scripts/enable-i386.sh sets up the emulation (see the README)"
    # Its loader may start all the same (under an emulator that hangs in Windows programs).
    export BLEEP_NO_WINE32=1
fi
build=${BLEEP_BUILD_DIR:-$root/build}
jobs=${BLEEP_JOBS:-$(nproc)}
passed=0
failed=0
skipped=0
failures=()

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {
    local name=$1 dir=$2
    shift 2
    echo "=== tests: $name"
    local log="$dir/ctest.log"
    (cd "$dir" && ctest --output-on-failure -j"$jobs" "$@") 2>&1 | tee "$log"
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        failures+=("$name: ctest did not run")
        return
    fi
    total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
    bad=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/')
    local skip
    skip=$(grep -cE '^[[:space:]]+[0-9]+ - .*\(Skipped\)$' "$log" || true)
    passed=$((passed + total - bad - skip))
    failed=$((failed + bad))
    skipped=$((skipped + skip))
    [ "$bad" -eq 0 ] || failures+=("$name: $bad failed")
}

configure_and_build() {
    local name=$1 dir=$2
    shift 2
    echo "=== build: $name"
    # The demo configures the native folder without tests; switch them back on.
    if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBLEEP_TESTS=ON -DBLEEP_BENCH=ON \
        "$@" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        failed=$((failed + 1))
        failures+=("$name: configure failed")
        return 1
    fi
    if ! cmake --build "$dir" -j"$jobs"; then
        failed=$((failed + 1))
        failures+=("$name: build failed")
        return 1
    fi
}

mkdir -p "$build"

# Native: unit tests, host tests through the .so, renderer tests.
if configure_and_build native "$build/native"; then
    run_ctest native "$build/native"
fi

# Windows DLLs, tested under Wine.
if [ -z "${BLEEP_SKIP_WINDOWS:-}" ]; then
    for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
        dir="$build/$triple"
        if configure_and_build "$triple" "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
            -DBLEEP_MINGW_TRIPLE=$triple; then
            run_ctest "$triple" "$dir"
        fi
    done
fi

# Sanitizer and fuzz runs, where the project has them.
for extra in "$root"/scripts/test-*.sh; do
    [ -x "$extra" ] || continue
    name=$(basename "$extra" .sh)
    echo "=== $name"
    if "$extra"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("$name failed")
    fi
done

echo
for f in "${failures[@]+"${failures[@]}"}"; do
    echo "FAILED: $f"
done
echo "Total: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
