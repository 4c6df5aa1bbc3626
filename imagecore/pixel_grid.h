// A pixel grid the drawing engine owns for the length of one call: rows of
// Width x 4 bytes (blue, green, red, alpha), bottom row first, like the image.
#pragma once

#include <cstdint>
#include <vector>

#include "imagecore/pixel_view.h"

struct PixelGrid {
    std::vector<uint8_t> bytes;
    int32_t width = 0;
    int32_t height = 0;

    // Zero-filled; false (and empty) for a size below 1, beyond 2^31 - 1
    // bytes, or when memory runs out.
    bool Allocate(int32_t gridWidth, int32_t gridHeight);
    bool Empty() const { return bytes.empty(); }
    PixelView View() { return {bytes.data(), width, height}; }
};
