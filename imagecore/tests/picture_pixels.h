// Reading and writing single pixels of an image by picture position (row 0
// at the top), for tests.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "imagecore/c32bppDIB.h"

using Bgra = std::array<uint8_t, 4>;

inline void Put(c32bppDIB& image, int x, int y, Bgra pixel) {
    std::copy(pixel.begin(), pixel.end(), image.Pixels().PictureRow(y) + x * 4);
}

inline Bgra At(const c32bppDIB& image, int x, int y) {
    const uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}
