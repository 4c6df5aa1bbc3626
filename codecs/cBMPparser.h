// BMP decoder: uncompressed 32-bit bitmaps keep their alpha bytes; every
// other depth and compression is decoded opaque; what neither takes goes to
// the system picture loader.
#pragma once

#include <cstdint>
#include <span>

#ifdef _WIN32
#include <windows.h>
#include <ocidl.h>
#endif

class c32bppDIB;

class cBMPparser {
public:
    // The bitmap file occupies streamLength bytes of inStream from
    // streamOffset. True when cHost holds the decoded image afterwards; a
    // window outside inStream, data that is not "BM", a zero width or height,
    // or a bitmap nothing can decode gives false. The caller's bytes are read in place.
    bool LoadStream(std::span<const uint8_t> inStream, c32bppDIB& cHost, int64_t streamOffset, int64_t streamLength);

#ifdef _WIN32
    // A picture object when stdPic is set, else the bitmap handle; bitCount
    // is the depth the caller knows of, or 0. Metafiles come out transparent
    // wherever they did not draw.
    bool ConvertstdPicTo32bpp(IPicture* stdPic, HBITMAP Handle, c32bppDIB& cHost, int bitCount);
#endif
};
