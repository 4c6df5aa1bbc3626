// The system picture loader for bitmaps the own decoders do not take (JPEG
// or PNG inside a bitmap, data they reject): the bytes become a picture and
// then the host's 32-bit image. Natively there is none.
#pragma once

#include <cstdint>
#include <span>

class c32bppDIB;

// bitmap: the whole bitmap file; bitsPerPixel: the depth its header names.
// True when the host now holds the picture.
bool LoadThroughSystemBitmapLoader(std::span<const uint8_t> bitmap, c32bppDIB& host, int bitsPerPixel);
