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
# 32-bit Wine needs a kernel that starts i386 programs, or the emulation that
# scripts/enable-i386.sh registers; a machine with neither cannot run the test at all. Bounded,
# since an emulator that cannot run Wine may hang. Where an emulator starts the loader but hangs
# in Windows programs, only a full check tells, which the test command makes once for all tests
# (BLEEP_NO_WINE32).
if { [ $arch = win32 ] && [ -n "${BLEEP_NO_WINE32:-}" ]; } ||
    ! timeout -k 5 60 "$loader" --version >/dev/null 2>&1; then
    echo "skipped: this machine cannot start $arch Wine ($loader); as root, scripts/enable-i386.sh"
    echo "         makes 32-bit programs start here"
    exit 77
fi
export WINEPREFIX="${BLEEP_WINE_PREFIX_ROOT:-$HOME/.cache/bleepifier-wine}/$arch"
export WINEARCH="$arch"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -d "$WINEPREFIX" ]; then
    # Several tests may start at once: only one creates the prefix, and it appears under its
    # name only once complete, so an interrupted creation is redone next time. It takes 10 to
    # 20 s, natively or under emulation; the bound only stops a hang.
    (
        flock 9
        if [ ! -d "$WINEPREFIX" ]; then
            new="$WINEPREFIX.new"
            rm -rf "$new"
            if WINEPREFIX="$new" timeout 300 "$loader" wineboot --init >"$new.log" 2>&1 &&
                WINEPREFIX="$new" timeout 120 wineserver -w >>"$new.log" 2>&1; then
                mv "$new" "$WINEPREFIX"
            else
                WINEPREFIX="$new" wineserver -k 2>/dev/null
            fi
        fi
    ) 9>"$WINEPREFIX.lock"
    if [ ! -d "$WINEPREFIX" ]; then
        echo "failed: could not create the $arch Wine prefix $WINEPREFIX (see $WINEPREFIX.new.log)"
        exit 1
    fi
fi
# The first program of a Wine session starts its background processes (services, devices, the
# desktop), which inherit its output and keep it open until the session ends, that is while any
# other Wine program runs; a test reading that output would last as long. So the program writes
# to a file, shown once it ends.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
if [ -z "${DISPLAY:-}" ]; then
    "$(dirname "$0")/xvfb-run.sh" -s "-screen 0 1024x768x24" "$loader" "$exe" "$@" >"$out" 2>&1
else
    "$loader" "$exe" "$@" >"$out" 2>&1
fi
status=$?
cat "$out"
exit $status
