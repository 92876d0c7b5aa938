#!/bin/bash
# Checks of the scripts themselves (scripts/test.sh runs every scripts/test-*.sh): each parses,
# and enable-i386.sh changes only what it must and --remove undoes exactly that, against a fake
# binfmt_misc folder (plain files: what the script writes to them is read back), a fake 32-bit
# Wine that starts once the fake emulator is registered, and a fake emulator already in place.
set -u
here=$(cd "$(dirname "$0")" && pwd)
passed=0
failed=0
check() { # check DESCRIPTION COMMAND...
    if "${@:2}"; then passed=$((passed + 1)); else
        failed=$((failed + 1))
        echo "FAILED: $1"
    fi
}

for f in "$here"/*.sh "$here"/../.ci/run; do
    check "bash -n $f" bash -n "$f"
done

t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
export BLEEP_BINFMT_DIR=$t/misc BLEEP_QEMU_DIR=$t/q BLEEP_WINE32=$t/wine
export BLEEP_DEBIAN_MIRROR=http://127.0.0.1:9 # never fetch here
unset BLEEP_I386_EMULATION
# Starts natively (where $t/native is) or through an enabled handler (ours once registered). One
# whose interpreter is /broken acts like Debian 12's QEMU: the loader prints its version, and a
# Windows program hangs (here: fails).
cat >"$t/wine" <<EOF
#!/bin/sh
ok= broken=
[ -e $t/native ] && ok=1
grep -q ":bleepifier-i386:" $t/misc/register && ok=1
for h in \$(grep -lx enabled $t/misc/* | grep -v /status); do
    ok=1
    grep -qx 'interpreter /broken' \$h && broken=1
done
[ -n "\$ok" ] || exit 1
[ "\$1" != --version ] || exit 0
[ -z "\$broken" ] || exit 1
exit 7 # the Windows program's exit code
EOF
chmod +x "$t/wine"
magic=7f454c4601010100000000000000000002000300
# handler NAME INTERPRETER [STATE]: an entry as the kernel shows it.
handler() {
    printf '%s\ninterpreter %s\nflags: F\noffset 0\nmagic %s\n' "${3:-enabled}" "$2" $magic >"$t/misc/$1"
}
fresh() { # a machine where nothing of ours is; its own handler, if named
    rm -rf "$t/misc" "$t/q" "$t/native"
    mkdir "$t/misc"
    : >"$t/misc/register"
    echo enabled >"$t/misc/status"
}
e() { "$here/enable-i386.sh" "$@" >>"$t/log" 2>&1; }
untouched() { [ ! -s "$t/misc/register" ] && [ ! -e "$t/q" ]; }

# Wine starts: nothing changes, even with another handler (its own) and forced emulation.
fresh && touch "$t/native"
check "native: exit 0" e
check "native: nothing written" untouched
handler qemu-i386 /usr/bin/qemu-i386-static
check "starts: exit 0" e
check "starts, forced: exit 0" env BLEEP_I386_EMULATION=1 "$here/enable-i386.sh" >>"$t/log"
check "starts: nothing written" untouched
check "starts: other handler kept" grep -qx enabled "$t/misc/qemu-i386"

# Another handler through which Wine does not start: fail, leave it be.
fresh && handler qemu-i386 /broken
check "broken other: exit 1" test "$(e; echo $?)" = 1
check "broken other: nothing written" untouched
check "broken other: kept" grep -qx enabled "$t/misc/qemu-i386"

# No handler: ours registered, with the emulator already in place (so not recorded as fetched).
fake_qemu() { mkdir -p "$t/q" && printf '#!/bin/sh\necho qemu-i386 version 9\n' >"$t/q/qemu-i386" && chmod +x "$t/q/qemu-i386"; }
fresh && fake_qemu
check "register: exit 0" e
check "register: F handler" grep -q "^:bleepifier-i386:M::.*:$t/q/qemu-i386:F\$" "$t/misc/register"
check "register: recorded" grep -qx "handler $t/misc/bleepifier-i386 $t/q/qemu-i386" "$t/q/state"
check "register: no fetch recorded" bash -c "! grep -q ^file '$t/q/state'"
handler bleepifier-i386 "$t/q/qemu-i386"
check "register again: exit 0" e
check "remove: exit 0" e --remove
check "remove: ours unregistered" grep -qx -- -1 "$t/misc/bleepifier-i386"
check "remove: state gone, emulator kept" test ! -e "$t/q/state" -a -x "$t/q/qemu-i386"

# --disable-others switches the broken one off (not unregistered); --remove switches it on.
# Wine starts natively once the handler is off: no emulator needed.
fresh && handler qemu-i386 /broken && touch "$t/native"
check "disable: exit 0" e --disable-others
check "disable: switched off" grep -qx 0 "$t/misc/qemu-i386"
check "disable: nothing registered" test ! -s "$t/misc/register"
handler qemu-i386 /broken disabled
check "disable, remove: exit 0" e --remove
check "disable, remove: switched on" grep -qx 1 "$t/misc/qemu-i386"
check "disable, remove: folder gone" test ! -e "$t/q"
check "remove without state: exit 0" e --remove

# A handler of our name that the state file does not list is not ours to touch.
fresh && handler bleepifier-i386 /elsewhere/qemu-i386 disabled
check "stale name: exit 1" test "$(e; echo $?)" = 1
check "stale name: nothing written" untouched
check "stale name: kept" grep -qx disabled "$t/misc/bleepifier-i386"
check "stale name: remove leaves it" bash -c "'$here/enable-i386.sh' --remove >/dev/null && grep -qx disabled '$t/misc/bleepifier-i386'"

[ $failed -eq 0 ] || cat "$t/log"
echo "scripts: $passed passed, $failed failed"
[ $failed -eq 0 ]
