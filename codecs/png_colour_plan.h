// How a 32-bit premultiplied image is written as PNG samples: the smallest
// colour type that keeps it exact (palette, grey, RGB with or without a
// colour key, RGBA), its PLTE and tRNS data, and the samples of each row.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "imagecore/pixel_view.h"

namespace png_encode {

enum ColourType : uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kRgba = 6 };

constexpr size_t kMaxPaletteValues = 256;

struct ColourPlan {
    ColourType colourType = kRgba;
    // Grey and RGB: the key level (v, or v in all three channels), -1 for none.
    int32_t key = -1;
    // Palette and grey: the distinct pixel values in ascending signed order
    // with the number each got in the index.
    std::vector<int32_t> sortedValues;
    std::vector<uint8_t> numberOfSorted;
    // Palette: each pixel's value number, in memory order, and the palette
    // index of each number.
    std::unique_ptr<uint8_t[]> numbers;
    std::array<uint8_t, kMaxPaletteValues> indexOfNumber{};
    std::vector<uint8_t> plte;  // 3 bytes per palette entry
    std::vector<uint8_t> trns;  // tRNS data; empty when nothing is transparent
    // Whether the alpha bytes count; without, every pixel is opaque.
    bool alpha = false;
};

int BytesPerPixel(ColourType colourType);

// Nothing when the image cannot be written exactly: colours above their
// alpha (not premultiplied data).
std::optional<ColourPlan> ChooseColourPlan(const PixelView& pixels, bool alpha);

// The unfiltered samples of picture row y (0 at the top) into out, which
// holds width x BytesPerPixel bytes. False for a pixel that cannot be
// written (a colour above its alpha).
bool WriteSampleRow(const ColourPlan& plan, const PixelView& pixels, int32_t y, uint8_t* out);

// Straight colour of a premultiplied channel, truncating: channel x 255 /
// alpha for alpha 1..254 and channel <= alpha.
uint8_t Unpremultiply(uint8_t channel, uint8_t alpha);

}  // namespace png_encode
