#!/usr/bin/env bash
# The scripts' choice of the Wine they run, with apt and dpkg stood in for:
# the amd64 side is one transaction of its own, Wine's 32-bit half is asked
# for only where 32-bit code runs, and a failed 32-bit install leaves the
# tests on the 64-bit build; scripts/play never asks for an i386 package.
# Then the real probe, where Wine's 32-bit half runs here.
#   check_setup.sh SOURCE_ROOT WORK_DIR
set -u
root=$1 work=$2
failed=0
fail() { echo "FAILED: $*"; failed=1; }
rm -rf "$work" && mkdir -p "$work"
export QUARRION_BUILD=$work/build APT_RETRY_PAUSE=0
. "$root/scripts/common.sh"
real_probe=$(declare -f machine_runs_32bit)

# The stand-ins: nothing is installed, no foreign architecture is added, and
# every command that would change the machine is written to $calls. A broken
# i386 list fails every update of all architectures, and the i386 install.
calls=$work/calls
package_present() { return 1; }
dpkg() { [ "$1" = --print-architecture ] && echo amd64; return 0; }
as_root() {
    echo "$*" >>"$calls"
    [ "$i386_install" = fails ] || return 0
    [[ "$*" == "apt-get install"*":i386"* || "$*" == "apt-get update -q" ]] && return 1
    return 0
}

# who (test or play), whether 32-bit code runs, how the i386 install goes;
# the path Wine takes and the commands expected, in order.
while IFS='|' read -r who runs i386_install want_arch want_calls; do
    case=$who/$runs/$i386_install
    : >"$calls"
    QUARRION_WIN_ARCH='' RUNS_32BIT=$runs DEPS_FAILED=''
    if [ "$who" = test ]; then ensure_deps 2>"$work/log"; else ensure_play_deps 2>"$work/log"; fi ||
        fail "$case: the set-up failed"
    [ "$QUARRION_WIN_ARCH" = "$want_arch" ] || fail "$case: Wine runs $QUARRION_WIN_ARCH, not $want_arch"
    got=$(sed -E 's/^(apt-get (update|install)|dpkg --[a-z-]+).*/\1/' "$calls" | paste -sd, -)
    [ "$got" = "$want_calls" ] || fail "$case: the commands were [$got], not [$want_calls]"
    amd64=$(grep -m1 '^apt-get install' "$calls")
    [[ "$amd64" != *:i386* && "$amd64" == *wine64* && "$amd64" == *x86-64-posix* ]] ||
        fail "$case: the first transaction is not the amd64 side: $amd64"
    grep -q '^apt-get update.*APT::Architectures=amd64' "$calls" ||
        fail "$case: the amd64 side fetches the lists of other architectures"
    [ "$want_arch" = i686 ] || [ "$(run_tree)" = "$QUARRION_BUILD/cross64" ] ||
        fail "$case: the tests run in $(run_tree)"
    if [ "$i386_install" = fails ]; then
        [ "$(grep -c 'the tests run on the 64-bit build' "$work/log")" = 1 ] ||
            fail "$case: the failed 32-bit half is not told in one line: $(cat "$work/log")"
    fi
done <<'CASES'
test|yes|works|i686|apt-get update,apt-get install,dpkg --add-architecture,apt-get update,apt-get install
test|yes|fails|x86_64|apt-get update,apt-get install,dpkg --add-architecture,apt-get update,apt-get update,apt-get install,apt-get install,dpkg --remove-architecture
test|no|works|x86_64|apt-get update,apt-get install
play|yes|works|x86_64|apt-get update,apt-get install,apt-get install
CASES

# The probe itself: where Wine's own 32-bit loader runs, so must it.
unset -f dpkg
eval "$real_probe"
RUNS_32BIT=
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    machine_runs_32bit || fail "the probe says no 32-bit code runs where 32-bit Wine runs"
fi

[ "$failed" -eq 0 ] && echo "the set-up takes the right path"
exit "$failed"
