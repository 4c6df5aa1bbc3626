#!/usr/bin/env bash
# The shared codecs library (BUILD_SHARED_LIBS) exports the decoding entry's
# C and C++ functions, all of them and nothing else, and its package serves
# the examples. Builds that library alone, unoptimised (the quickest to
# compile, and the build that instantiates the most templates), in BUILD_DIR,
# which later runs reuse.
#   scripts/tests/shared_codecs_test.sh BUILD_DIR [cmake -D arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
shift
mkdir -p "$build"
log="$build/shared_codecs_test.log"
{ cmake -S "$root" -B "$build" -DBUILD_SHARED_LIBS=ON -DMENDLOW_TESTS=OFF -DMENDLOW_PROGRAMS=OFF \
      -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 "$@" &&
  cmake --build "$build" --target mendlow_codecs_shared -j"$(nproc)"; } >"$log" 2>&1 || { cat "$log"; exit 1; }

library=$(find "$build" -maxdepth 1 -type f -name 'libmendlow_codecs*.so*')
[ -n "$library" ] || { echo "FAILED: no shared library in $build"; exit 1; }
# Names without their parameters: the C++ entry's overloads count once.
exported=$(nm -D --defined-only "$library" | awk '{print $3}' | c++filt | sed 's/(.*//' | sort -u)
expected=$(sort <<'NAMES'
mendlow::DecodeImage
mendlow::DescribeStatus
mendlow::ReadImageInfo
mendlow_decode_image
mendlow_decode_image_into
mendlow_default_decode_options
mendlow_free_pixels
mendlow_read_image_info
mendlow_status_text
NAMES
)
if [ "$exported" != "$expected" ]; then
    echo "FAILED: $(basename "$library") exports"
    diff <(echo "$expected") <(echo "$exported") | sed -n 's/^> /  more: /p; s/^< /  missing: /p'
    exit 1
fi
echo "ok: $(basename "$library") exports the entry's $(wc -l <<<"$exported") names and no other"

"$root/scripts/check-package" "$build"
