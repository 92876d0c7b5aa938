#!/bin/bash
# Installs what building and testing need on a Debian 12 machine (run as root, or with sudo).
set -euo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

$sudo dpkg --add-architecture i386
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends \
    cmake make ccache g++ clang libclang-rt-14-dev clang-format file \
    googletest libgtest-dev libbenchmark-dev libfftw3-dev \
    libsndfile1-dev libpng-dev libfreetype-dev fonts-liberation \
    libx11-dev libxtst-dev x11-utils python3 \
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
    wine wine32:i386 wine64 xvfb xauth \
    lv2-dev sordi liblilv-dev lilv-utils ardour espeak-ng sox

# Where the kernel cannot start 32-bit programs, the 32-bit DLL's Wine tests run under user-mode
# emulation instead. Should that fail (the archive out of reach, say), the build and every other
# test still run, and the test command's total counts the 32-bit Wine tests as skipped.
if ! $sudo "$(dirname "$0")/enable-i386.sh"; then
    echo "warning: 32-bit Wine cannot start here; the 32-bit DLL's Wine tests will be skipped" >&2
fi
