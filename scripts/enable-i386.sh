#!/bin/bash
# Makes 32-bit Wine startable for the Windows tests, changing the machine only where it must.
# Where 32-bit Wine already starts (natively, or through an i386 binfmt_misc handler the machine
# has), it changes nothing. Otherwise (as root) it registers QEMU's user-mode emulator as the
# handler for i386 programs. Debian 12's QEMU 7.2 cannot run Wine (it ignores MAP_FIXED_NOREPLACE
# and loses trap numbers) but Debian 13's can, and its qemu-i386 is statically linked: only that
# one file is fetched from Debian 13's archive through a private apt configuration; the system's
# packages stay as they are. Every change is listed in a state file beside that file, and
# --remove undoes those and nothing else. A handler it did not register it never unregisters.
#   scripts/enable-i386.sh                    exit 0 once 32-bit Wine starts, 1 if it cannot
#   scripts/enable-i386.sh --check            only tells whether 32-bit Wine starts
#   scripts/enable-i386.sh --remove           undoes what this script changed
#   scripts/enable-i386.sh --disable-others   where another i386 handler is in the way, switches
#                                             it off (not unregistered; --remove switches it on)
#   BLEEP_I386_EMULATION=1 ...                the emulation even where the kernel needs none
set -u
probe=${BLEEP_WINE32:-/usr/lib/wine/wine}
dir=${BLEEP_QEMU_DIR:-/usr/local/lib/bleepifier}
misc=${BLEEP_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}
qemu=$dir/qemu-i386
state=$dir/state
name=bleepifier-i386
mirror=${BLEEP_DEBIAN_MIRROR:-http://deb.debian.org/debian}
forced=${BLEEP_I386_EMULATION:-}

fail() {
    echo "enable-i386: $*" >&2
    exit 1
}
say() { echo "enable-i386: $*"; }
# Whether 32-bit Wine starts. Bounded: Wine on a QEMU that cannot run it hangs. Its loader alone
# starts even under Debian 12's QEMU, which then hangs in the first Windows program; so where an
# i386 handler is registered, the proof is a Windows program run in a throwaway prefix (10 to 40 s;
# the bound is generous for a busy machine, and paid in full only where a handler hangs).
starts() {
    timeout -k 5 60 "$probe" --version >/dev/null 2>&1 || return 1
    [ -n "$(i386_handlers)" ] || return 0
    local tmp status
    tmp=$(mktemp -d) || return 1
    WINEPREFIX=$tmp/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
        timeout -k 5 240 "$probe" cmd /c exit 7 >/dev/null 2>&1
    status=$?
    [ -x "${probe%/*}/wineserver" ] && WINEPREFIX=$tmp/prefix "${probe%/*}/wineserver" -k >/dev/null 2>&1
    rm -rf "$tmp"
    [ $status -eq 7 ]
}
# Appends a line to the state file once.
record() {
    [ -f "$state" ] && grep -qxF "$1" "$state" && return 0
    echo "$1" >>"$state" || fail "cannot write $state"
}
forget() {
    [ -f "$state" ] || return 0
    grep -vxF "$1" "$state" >"$state.new"
    mv "$state.new" "$state"
}
recorded() { [ -f "$state" ] && grep -qxF "$1" "$state"; }

# Enabled i386 handlers (the magic of a 32-bit x86 ELF executable), and those of them not ours.
i386_handlers() {
    local entry
    for entry in "$misc"/*; do
        case ${entry##*/} in register | status) continue ;; esac
        [ -f "$entry" ] && grep -qx enabled "$entry" || continue
        grep -qE '^magic 7f454c4601.{26}0300$' "$entry" && echo "$entry"
    done
}
other_handlers() {
    local entry
    for entry in $(i386_handlers); do
        recorded "handler $entry $qemu" || echo "$entry"
    done
}

remove() {
    [ -f "$state" ] || {
        say "nothing to undo ($state is absent)"
        return 0
    }
    local what path extra status=0
    while read -r what path extra; do
        case $what in
        handler)
            if [ -e "$path" ] && grep -qx "interpreter $extra" "$path"; then
                say "unregistering the i386 handler ${path##*/}"
                echo -1 >"$path" || status=1
            fi
            ;;
        disabled)
            if [ -e "$path" ] && grep -qx disabled "$path"; then
                say "switching the i386 handler ${path##*/} back on"
                echo 1 >"$path" || status=1
            fi
            ;;
        file)
            say "deleting $path"
            rm -f "$path" || status=1
            ;;
        mount)
            # Only if nothing else has been registered there since.
            if [ "$(ls "$path" | grep -cvxE 'register|status')" -eq 0 ]; then
                say "unmounting $path"
                umount "$path" || status=1
            fi
            ;;
        esac
    done < <(tac "$state")
    [ $status -eq 0 ] || fail "could not undo everything; $state is kept"
    local made_dir=
    grep -qxF "dir $dir" "$state" && made_dir=1
    rm -f "$state"
    if [ -n "$made_dir" ]; then
        rmdir "$dir" && say "deleting $dir"
    fi
    return 0
}

# The state file lives in the folder, so the folder comes first (and is recorded if new).
ensure_dir() {
    [ -d "$dir" ] && return 0
    mkdir -p "$dir" || fail "cannot create $dir"
    record "dir $dir"
}

case ${1:-} in
--check)
    starts && say "32-bit Wine starts" && exit 0
    say "32-bit Wine does not start ($probe)"
    exit 1
    ;;
--remove)
    remove
    exit
    ;;
--disable-others) disable_others=1 ;;
'') disable_others= ;;
*) fail "unknown option $1 (--check, --remove or --disable-others)" ;;
esac

[ -x "$probe" ] || fail "$probe is missing (package wine32:i386)"
if [ -z "$forced" ] && starts; then
    say "32-bit Wine starts; nothing to change"
    exit 0
fi
if recorded "handler $misc/$name $qemu" && [ -e "$misc/$name" ] && starts; then
    say "32-bit Wine starts under the emulator set up before; nothing to change"
    exit 0
fi

if [ ! -e "$misc/register" ]; then
    mount -t binfmt_misc binfmt_misc "$misc" 2>/dev/null ||
        fail "32-bit Wine does not start, and $misc cannot be mounted (run as root)"
    ensure_dir
    record "mount $misc"
fi
[ -w "$misc/register" ] || fail "32-bit Wine does not start; registering an emulator needs root"
grep -qx disabled "$misc/status" 2>/dev/null &&
    fail "binfmt_misc is switched off on this machine ($misc/status); not changing that"

[ -e "$misc/$name" ] && ! recorded "handler $misc/$name $qemu" &&
    fail "a handler named $name is registered that this script did not record; not touching it"
others=$(other_handlers)
if [ -n "$others" ]; then
    # Unless forced, Wine was found not to start above. Forced, it was not tried yet: handlers
    # come before the kernel's own loader, so if it starts now, it starts through them.
    if [ -n "$forced" ] && starts; then
        say "32-bit Wine starts through the i386 handler(s) $(echo $others | xargs -n1 basename | xargs); nothing to change"
        exit 0
    fi
    if [ -z "$disable_others" ]; then
        echo "enable-i386: 32-bit Wine does not start through the i386 handler(s) already registered:" >&2
        echo "$others" | sed 's/^/    /' >&2
        echo "enable-i386: they are not this project's, so they stay. Either remove or switch them off" >&2
        echo "    yourself (echo 0 > HANDLER), or run scripts/enable-i386.sh --disable-others, which" >&2
        echo "    switches them off until scripts/enable-i386.sh --remove" >&2
        exit 1
    fi
    ensure_dir
    for entry in $others; do
        say "switching off the i386 handler ${entry##*/}"
        echo 0 >"$entry" || fail "cannot switch off $entry"
        record "disabled $entry"
    done
    if [ -z "$forced" ] && starts; then
        say "32-bit Wine starts natively now"
        exit 0
    fi
fi

fetch_qemu() {
    local tmp arch
    tmp=$(mktemp -d) || return 1
    arch=$(dpkg --print-architecture)
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" \
        >"$tmp/sources.list"
    mkdir -p "$tmp/lists/partial" "$tmp/archives/partial"
    : >"$tmp/status"
    local apt=(apt-get -q -o Dir::Etc::sourcelist="$tmp/sources.list" -o Dir::Etc::sourceparts=-
        -o Dir::State="$tmp" -o Dir::State::status="$tmp/status" -o Dir::Cache="$tmp"
        -o APT::Architectures::="$arch" -o APT::Sandbox::User=root)
    (
        cd "$tmp" &&
            "${apt[@]}" update >"$tmp/apt.log" 2>&1 &&
            "${apt[@]}" download qemu-user >>"$tmp/apt.log" 2>&1 &&
            dpkg-deb --fsys-tarfile qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$qemu.new" &&
            chmod 755 "$qemu.new" &&
            "$qemu.new" --version >/dev/null &&
            mv "$qemu.new" "$qemu"
    ) || { cat "$tmp/apt.log" >&2; rm -rf "$tmp" "$qemu.new"; return 1; }
    rm -rf "$tmp"
}

ensure_dir
if ! "$qemu" --version >/dev/null 2>&1; then
    say "fetching qemu-i386 from Debian 13 into $dir"
    fetch_qemu || fail "cannot fetch qemu-i386"
    record "file $qemu"
fi
# F: the kernel opens the emulator now, so it serves every process, in any mount namespace.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
if [ ! -e "$misc/$name" ]; then
    say "registering $qemu as the i386 handler $name"
    printf '%s' ":$name:M::$magic:$mask:$qemu:F" >"$misc/register" || fail "cannot register $qemu"
fi
record "handler $misc/$name $qemu"
if ! starts; then
    # Leave no handler behind that cannot serve.
    [ -e "$misc/$name" ] && echo -1 >"$misc/$name"
    forget "handler $misc/$name $qemu"
    fail "32-bit Wine does not start under $qemu; unregistered it again (--remove deletes the rest)"
fi
say "32-bit programs run under $("$qemu" --version | head -n 1)"
