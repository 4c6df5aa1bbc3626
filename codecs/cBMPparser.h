// BMP decoder: uncompressed 32-bit bitmaps keep their alpha bytes; every
// other depth and compression is decoded opaque; what neither takes goes to
// the system picture loader.
#pragma once

#include <cstdint>
#include <span>

class c32bppDIB;

class cBMPparser {
public:
    // The bitmap file occupies streamLength bytes of inStream from
    // streamOffset. True when cHost holds the decoded image afterwards; a
    // window outside inStream, data that is not "BM", a zero width or height,
    // or a bitmap nothing can decode gives false. The caller's bytes are read in place.
    bool LoadStream(std::span<const uint8_t> inStream, c32bppDIB& cHost, int64_t streamOffset, int64_t streamLength);
};
