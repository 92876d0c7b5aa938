#!/bin/bash
# Installs the Debian 12 packages a job needs (run as root, or with sudo); where they are all
# installed already, it changes nothing.
#   scripts/install-deps.sh            everything the test command needs: the native packages below,
#                                      MinGW-w64, Wine (adds dpkg's i386 architecture for its 32-bit
#                                      half) and the 32-bit Wine set-up of enable-i386.sh
#   scripts/install-deps.sh --native   the native build and its tests only (no i386, no Wine)
#   scripts/install-deps.sh --demo     the native build of the plug-ins and bleepify only
#   ... --check                        installs nothing: lists what is missing, exit 1 if anything
set -euo pipefail

# The native build: VST .so, LV2 bundle (lv2-dev) and bleepify.
demo=(cmake make g++ libsndfile1-dev libpng-dev libfreetype-dev fonts-liberation libx11-dev
    lv2-dev)
# The native tests, benchmarks, sanitizer and fuzz runs.
native=(ccache clang libclang-rt-14-dev clang-format file
    googletest libgtest-dev libbenchmark-dev libfftw3-dev
    libxtst-dev x11-utils python3 xvfb xauth
    sordi liblilv-dev lilv-utils ardour espeak-ng sox)
# The Windows DLLs and their tests under Wine.
windows=(g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine wine32:i386 wine64)

mode=all
check=
for arg in "$@"; do
    case $arg in
    --demo | --native) mode=${arg#--} ;;
    --check) check=1 ;;
    *)
        echo "usage: scripts/install-deps.sh [--demo | --native] [--check]" >&2
        exit 2
        ;;
    esac
done
packages=("${demo[@]}")
[ $mode = demo ] || packages+=("${native[@]}")
[ $mode != all ] || packages+=("${windows[@]}")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null | grep -q '^ii' || missing+=("$p")
done

if [ -n "$check" ]; then
    [ ${#missing[@]} -eq 0 ] && exit 0
    echo "missing Debian packages: ${missing[*]}"
    exit 1
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing Debian packages as root: ${missing[*]}"
    if [ $mode = all ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "install-deps: adding dpkg's i386 architecture (for wine32)"
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ $mode = all ] || exit 0

# Where the kernel cannot start 32-bit programs, the 32-bit DLL's Wine tests run under user-mode
# emulation instead; where they start already, this changes nothing. Should it fail (the archive
# out of reach, another handler in the way), the build and every other test still run, and the
# test command's total counts the 32-bit Wine tests as skipped.
if ! $sudo "$(dirname "$0")/enable-i386.sh"; then
    echo "warning: 32-bit Wine cannot start here; the 32-bit DLL's Wine tests will be skipped" >&2
fi
