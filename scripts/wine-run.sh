#!/bin/bash
# Runs a Windows test program under Wine: a private prefix per architecture, no debug noise,
# and a virtual X display when none is given.
set -u
exe="$1"
shift
if file -b "$exe" | grep -q 'x86-64'; then
    arch=win64
    loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
else
    arch=win32
    loader=$(command -v wine || echo /usr/lib/wine/wine)
fi
# A kernel without 32-bit support cannot start 32-bit Wine: report the test as skipped rather
# than failed. User-mode emulation (scripts/enable-i386.sh) works but is slow, so it is used only
# when asked for with BLEEP_WINE32_EMULATION=1.
emulation=/proc/sys/fs/binfmt_misc/qemu-i386
if [ "$arch" = win32 ] && [ -e $emulation ] && grep -q enabled $emulation &&
    [ -z "${BLEEP_WINE32_EMULATION:-}" ]; then
    echo "skipped: 32-bit programs run only under emulation here (set BLEEP_WINE32_EMULATION=1)"
    exit 77
fi
if ! "$loader" --version >/dev/null 2>&1; then
    echo "skipped: this machine cannot run $arch Wine ($loader)"
    exit 77
fi
export WINEPREFIX="${BLEEP_WINE_PREFIX_ROOT:-$HOME/.cache/bleepifier-wine}/$arch"
export WINEARCH="$arch"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -d "$WINEPREFIX" ]; then
    # Several tests may start at once: only one creates the prefix, and it appears under its
    # name only once complete, so an interrupted creation is redone next time.
    (
        flock 9
        if [ ! -d "$WINEPREFIX" ]; then
            rm -rf "$WINEPREFIX.new"
            WINEPREFIX="$WINEPREFIX.new" "$loader" wineboot --init >/dev/null 2>&1 &&
                WINEPREFIX="$WINEPREFIX.new" wineserver -w 2>/dev/null &&
                mv "$WINEPREFIX.new" "$WINEPREFIX"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$loader" "$exe" "$@"
fi
exec "$loader" "$exe" "$@"
