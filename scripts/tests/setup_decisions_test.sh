#!/usr/bin/env bash
# Set-up's decisions without the network: stand-in package tools on PATH
# make one package list fail to download and the 32-bit Wine uninstallable.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
stand_ins=$(mktemp -d)
trap 'rm -rf "$stand_ins"' EXIT
failures=0 passes=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then echo "ok: $name"; passes=$((passes + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

# Everything but the 32-bit Wine is installed; apt-get logs its calls.
cat >"$stand_ins/dpkg-query" <<'STUB'
#!/bin/sh
for last; do :; done
case "$last" in wine32:i386) exit 1 ;; esac
printf 'install ok installed'
STUB
cat >"$stand_ins/dpkg" <<'STUB'
#!/bin/sh
exit 0
STUB
cat >"$stand_ins/sudo" <<'STUB'
#!/bin/sh
exec "$@"
STUB
cat >"$stand_ins/apt-get" <<STUB
#!/bin/sh
echo "\$*" >>"$stand_ins/apt-get.calls"
case "\$*" in
*update*)
    echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
*wine32:i386*)
    echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages."
    exit 100 ;;
esac
exit 0
STUB
chmod +x "$stand_ins"/*
export PATH="$stand_ins:$PATH"

output=$("$root/scripts/setup" 2>&1)
status=$?
echo "$output"
check "set-up goes on past a failed list and a failed 32-bit Wine" [ $status -eq 0 ]
check "it says which list failed" grep -q "Some package lists failed to download.*binary-i386" <<<"$output"
check "it says the 32-bit Wine is missing, and why" \
    grep -q "The 32-bit Wine (wine32:i386) could not be installed: the i386 package list failed" <<<"$output"
check "the 32-bit Wine is tried alone" grep -qx "install -y -qq --no-install-recommends wine32:i386" \
    <(sed 's/^-o Acquire::Retries=3 //' "$stand_ins/apt-get.calls")

choice=$("$root/scripts/ia32" choose)
check "the 64-bit build runs without the 32-bit Wine" [ "$choice" = "x86_64 the 32-bit Wine (wine32:i386) is not installed" ]

# A required package that cannot be installed stops set-up, by name.
cat >"$stand_ins/dpkg-query" <<'STUB'
#!/bin/sh
for last; do :; done
case "$last" in xdotool | wine32:i386) exit 1 ;; esac
printf 'install ok installed'
STUB
sed -i 's/^\*wine32:i386\*)/*xdotool*)/' "$stand_ins/apt-get"
output=$("$root/scripts/setup" 2>&1)
status=$?
check "a required package that fails stops set-up" [ $status -ne 0 ]
check "and is named" grep -q "required packages could not be installed: xdotool" <<<"$output"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
