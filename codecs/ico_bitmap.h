// Bitmap images of icon and cursor files into the 32-bit image.
#pragma once

#include <cstdint>
#include <span>

#include "codecs/ico_directory.h"

class c32bppDIB;

namespace ico {

// Decodes the entry's colour pixels at the directory's size, then its
// transparency: the alpha bytes of a 32-bit image, else the AND mask. False,
// with no image in the host, when the bytes do not hold the image.
bool DecodeBitmap(std::span<const uint8_t> file, const Entry& entry, bool cursor, c32bppDIB& host);

}  // namespace ico
