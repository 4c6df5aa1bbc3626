// Fuzzes the built-in inflater on its own, against zlib, in one buffer and a
// window at a time. The first two bytes give the output size (little-endian;
// with the top bit set, eight times the rest, so that windows slide), the
// rest is the zlib stream. Input and output are copied into buffers of
// exactly their size, so that AddressSanitizer sees any access outside them.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codecs/inflater.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t sizeField = size_t{data[0]} | size_t{data[1]} << 8;
    const size_t outSize = sizeField & 0x8000 ? (sizeField & 0x7FFF) * 8 : sizeField;
    std::vector<uint8_t> in(data + 2, data + size);
    std::vector<uint8_t> out(outSize);
    const bool ok = InflateZlibStream(in, out);

    // The built-in inflater tests less than zlib (no header test, no
    // checksum, incomplete codes allowed), so wherever zlib succeeds it must
    // too, with the same bytes and zeros after them; and where zlib stops
    // only because the output is full, any success gives the same bytes.
    std::vector<uint8_t> expected(outSize);
    uLongf produced = outSize;
    const int status = uncompress(expected.data(), &produced, in.data(), in.size());
    const bool zlibWhole = status == Z_OK;
    const bool zlibFull = status == Z_BUF_ERROR && produced == outSize;
    if (zlibWhole && !ok) std::abort();
    if ((zlibWhole || (zlibFull && ok)) && std::memcmp(out.data(), expected.data(), outSize) != 0) std::abort();

    // A window at a time: the same verdict and, joined, the same bytes. Parts
    // from 1 byte up, but few enough that sliding the history stays cheap.
    const size_t partBytes = std::max<size_t>(size_t{1} << (data[0] % 17), outSize / 64);
    WindowedInflater windowed(in, outSize, partBytes);
    std::vector<uint8_t> joined;
    std::span<const uint8_t> part;
    bool windowedOk;
    while ((windowedOk = windowed.Next(part)) && !part.empty()) joined.insert(joined.end(), part.begin(), part.end());
    if (windowedOk != ok || joined.size() > outSize) std::abort();
    joined.resize(outSize, 0);
    if (ok && joined != out) std::abort();
    return 0;
}
