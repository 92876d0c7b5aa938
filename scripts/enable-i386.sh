#!/bin/bash
# Makes 32-bit Wine startable (run as root). Where the kernel cannot start i386 programs itself,
# QEMU's user-mode emulator is registered as their binfmt_misc handler. Debian 12's QEMU 7.2
# cannot run Wine (it ignores MAP_FIXED_NOREPLACE and loses trap numbers) but Debian 13's can,
# and its qemu-i386 is statically linked: only that one file is fetched from Debian 13's archive
# through a private apt configuration; the system's packages stay as they are. Idempotent.
#   scripts/enable-i386.sh             exit 0 once 32-bit Wine starts, 1 if it cannot
#   BLEEP_I386_EMULATION=1 ...         use the emulation even where the kernel needs none
set -u
probe=/usr/lib/wine/wine
dir=${BLEEP_QEMU_DIR:-/usr/local/lib/bleepifier}
qemu=$dir/qemu-i386
misc=/proc/sys/fs/binfmt_misc
name=bleepifier-i386
mirror=${BLEEP_DEBIAN_MIRROR:-http://deb.debian.org/debian}

fail() {
    echo "enable-i386: $*" >&2
    exit 1
}
starts() { "$probe" --version >/dev/null 2>&1; }

[ -x "$probe" ] || fail "$probe is missing (package wine32:i386)"
if [ ! -e $misc/register ]; then
    # No handlers can be registered: whatever starts, the kernel starts itself.
    [ -z "${BLEEP_I386_EMULATION:-}" ] && starts && exit 0
    [ "$(id -u)" -eq 0 ] || fail "32-bit programs do not start here; an emulator needs root"
    mount -t binfmt_misc binfmt_misc $misc || fail "cannot mount $misc"
elif [ "$(id -u)" -ne 0 ]; then
    starts && exit 0
    fail "32-bit programs do not start here; an emulator needs root"
fi

# Another i386 handler (Debian 12's qemu-user-binfmt, say) would run Wine on the old QEMU and
# hang: remove it. Ours is known by its name and interpreter.
for entry in "$misc"/*; do
    case ${entry##*/} in register | status) continue ;; esac
    grep -qE '^magic 7f454c4601.{26}0300$' "$entry" 2>/dev/null || continue
    [ "${entry##*/}" = $name ] && grep -qx "interpreter $qemu" "$entry" && continue
    echo "enable-i386: removing the i386 handler ${entry##*/}"
    echo -1 >"$entry" || fail "cannot remove $entry"
done

if [ -e $misc/$name ]; then
    starts && exit 0
    echo -1 >$misc/$name || fail "cannot remove $misc/$name"
fi
[ -z "${BLEEP_I386_EMULATION:-}" ] && starts && exit 0

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
            mkdir -p "$dir" &&
            dpkg-deb --fsys-tarfile qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$qemu.new" &&
            chmod 755 "$qemu.new" &&
            "$qemu.new" --version >/dev/null &&
            mv "$qemu.new" "$qemu"
    ) || { cat "$tmp/apt.log" >&2; rm -rf "$tmp" "$qemu.new"; return 1; }
    rm -rf "$tmp"
}

if ! "$qemu" --version >/dev/null 2>&1; then
    echo "enable-i386: fetching qemu-i386 from Debian 13 into $dir"
    fetch_qemu || fail "cannot fetch qemu-i386"
fi
# F: the kernel opens the emulator now, so it serves every process, in any mount namespace.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s' ":$name:M::$magic:$mask:$qemu:F" >$misc/register || fail "cannot register $qemu"
starts || fail "32-bit Wine does not start under $qemu"
echo "enable-i386: 32-bit programs run under $("$qemu" --version | head -n 1)"
