// Where a decoder writes 32-bit pixels, in the layout its caller asked for:
// picture row y (counted from the top) starts at top + y x stride, so a
// negative stride lays the rows out bottom-up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagecore/pixel_view.h"

struct OutputRows {
    uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    bool redFirst = false;  // red, green, blue, alpha in memory; else blue first
    bool premultiplied = true;

    uint8_t* Row(int32_t y) const { return top + static_cast<ptrdiff_t>(y) * stride; }

    // The image object's layout: blue first, premultiplied, bottom-up.
    static OutputRows Of(const PixelView& view) {
        return {view.PictureRow(0), -static_cast<ptrdiff_t>(view.width) * 4, false, true};
    }
};
