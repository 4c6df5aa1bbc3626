// A view of 32-bit pixels: rows of Width x 4 bytes (blue, green, red, alpha),
// in memory order, so the first row is the bottom row of the picture.
#pragma once

#include <cstddef>
#include <cstdint>

struct PixelView {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;

    size_t PixelCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
    // Picture row y counts from the top.
    uint8_t* PictureRow(int32_t y) const { return bits + static_cast<size_t>(height - 1 - y) * width * 4; }
    uint8_t* MemoryRow(int32_t m) const { return bits + static_cast<size_t>(m) * width * 4; }
};
