// Decoding a picture file in memory with Mendlow's own codecs: PNG (with
// its own inflater), BMP, GIF and ICO/CUR, on Windows and elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mendlow {

// Rows from top to bottom, 4 bytes a pixel in the order blue, green, red,
// alpha, the colour not multiplied by the alpha.
struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// False, with image left empty, for a file no codec reads or a damaged one.
// A GIF gives its first frame; an icon file the image an icon of no
// particular size asks for.
bool DecodeImage(const uint8_t* file, size_t size, DecodedImage& image);

}  // namespace mendlow
