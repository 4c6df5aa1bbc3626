#!/usr/bin/env bash
# The version a tree names (cmake/MendlowVersion.cmake) before any tag, on a
# tag, after one, with uncommitted changes, given from outside, and inside
# another project's repository.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
repo=$(mktemp -d)
trap 'rm -rf "$repo"' EXIT
failures=0
expect() {  # expect PATTERN [cmake -D arguments...]
    local pattern=$1 got
    shift
    got=$(cmake "$@" -P "$repo/cmake/MendlowVersion.cmake" 2>&1)
    if [[ $got =~ ^$pattern$ ]]; then echo "ok: $got"; else echo "FAILED: '$got' is not '$pattern'"; failures=$((failures + 1)); fi
}
git() { command git -C "$repo" -c user.name=t -c user.email=t@t -c commit.gpgsign=false -c tag.gpgsign=false "$@" >/dev/null; }

mkdir "$repo/cmake"
cp "$root/cmake/MendlowVersion.cmake" "$repo/cmake/"
expect '1\.0\.0'                                  # no history at all
git init -q && git add -A && git commit -qm one
expect '1\.0\.0-g[0-9a-f]{10}'
git tag v2.3.4
expect '2\.3\.4'
echo >>"$repo/cmake/MendlowVersion.cmake"
expect '2\.3\.4-dirty'
git commit -qam two
expect '2\.3\.4-1-g[0-9a-f]{10}'
expect '5\.6\.7-2-g0123456789' -DMENDLOW_VERSION=5.6.7-2-g0123456789
expect '.*is not X\.Y\.Z.*' -DMENDLOW_VERSION=v1
# Inside another project's repository, that project's tags are not Mendlow's.
mkdir "$repo/sub" && mv "$repo/cmake" "$repo/sub/"
git add -A && git commit -qm moved
got=$(cmake -P "$repo/sub/cmake/MendlowVersion.cmake")
[ "$got" = 1.0.0 ] && echo "ok: $got in another repository" || { echo "FAILED: $got in another repository"; failures=$((failures + 1)); }
exit $((failures > 0))
