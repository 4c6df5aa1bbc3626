// PNG pixel reconstruction: undoing the scan-line filters, walking the
// Adam7 passes and writing premultiplied pixels into a 32-bit image.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imagecore/pixel_view.h"

namespace png {

struct ImageFormat {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colourType = 0;
};

struct Pass {
    int32_t y0, x0, dy, dx;
};
// Adam7 passes 1 to 7, then the whole image for data that is not interlaced.
inline constexpr Pass kPasses[8] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                    {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}, {0, 0, 1, 1}};
inline constexpr int kWholeImagePass = 7;

bool IsAllowedCombination(uint8_t colourType, uint8_t bitDepth);
int BitsPerPixel(const ImageFormat& format);
int FilterDistance(const ImageFormat& format);
int64_t RowBytes(const ImageFormat& format, int64_t pixels);
int64_t PassColumns(const ImageFormat& format, const Pass& pass);
int64_t PassRows(const ImageFormat& format, const Pass& pass);
// The size of the inflated image data; -1 when it does not fit 31 bits.
int64_t ExpectedInflatedSize(const ImageFormat& format, bool interlaced);

// The header checks, in order; the expected inflated size, or -1 when a
// check fails (sizes below 1, methods other than 0, unknown or forbidden
// depth and type, interlace above 1, width x 32 x height beyond 31 bits).
int64_t CheckHeader(int32_t width, int32_t height, uint8_t bitDepth, uint8_t colourType, uint8_t compression,
                    uint8_t filter, uint8_t interlace);

// The palette and transparency the writers read; transparencyKey -1: none.
struct Colours {
    std::vector<uint8_t> palette;  // red, green, blue per entry
    std::vector<uint8_t> transparency;
    int32_t transparencyKey = -1;
};

// Default palettes for grey and palette images without PLTE.
void PreparePalette(const ImageFormat& format, Colours& colours);

// Unfilters data in place (plain) or in a work buffer (interlaced) and writes
// the pixels into target, which has the format's size and is zero-filled.
bool DecodePlain(const ImageFormat& format, const Colours& colours, std::span<uint8_t> data, const PixelView& target);
bool DecodeInterlaced(const ImageFormat& format, const Colours& colours, std::span<const uint8_t> data,
                      const PixelView& target);

}  // namespace png
