// PNG encoder: writes the host image in the smallest colour type that keeps
// it exact, 8 bits per sample, not interlaced, RGB and RGBA rows Paeth-
// filtered, deflated by zlib at level 9 into one IDAT chunk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class c32bppDIB;

class cPNGwriter {
public:
    // The whole PNG file into outStream (from index 0), and into the file
    // FileName as well when it is not empty. False without an image or
    // without zlib (outStream untouched), and for an image that cannot be
    // written exactly or a failing write (outStream emptied).
    bool SavePNG(const c32bppDIB& cHost, const std::wstring& FileName, std::vector<uint8_t>& outStream);
};
