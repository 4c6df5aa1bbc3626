// Bitmap images of icon and cursor files, into the image object or any rows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "codecs/dib_pixels.h"
#include "codecs/ico_directory.h"
#include "codecs/output_rows.h"

class c32bppDIB;

namespace ico {

// Where a bitmap image's parts lie, every one checked to be in the file.
struct BitmapLayout {
    dib::Format format;              // the colour pixels at the directory's size
    std::span<const uint8_t> colour;  // from the colour pixels to the image's end
    std::span<const uint8_t> mask;    // the AND mask's rows; empty for 32-bit images
    size_t maskRowBytes = 0;
};

// Nothing when the image's bytes do not hold the image.
std::optional<BitmapLayout> LayOutBitmap(std::span<const uint8_t> file, const Entry& entry);

// Whether the AND mask hides any pixel (never, for 32-bit images).
bool MasksAnyPixel(const BitmapLayout& layout);

// Decodes the image into out: the colour pixels, then the transparency from
// the alpha bytes of a 32-bit image or else the AND mask. Straight output
// keeps every pixel's colour; premultiplied turns hidden pixels to zeros.
void DecodeBitmap(const BitmapLayout& layout, const OutputRows& out);

// Decodes the entry's image at the directory's size into the host. False,
// with no image in the host, when the bytes do not hold the image.
bool DecodeBitmap(std::span<const uint8_t> file, const Entry& entry, bool cursor, c32bppDIB& host);

}  // namespace ico
