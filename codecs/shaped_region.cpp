#include <algorithm>

#include "codecs/modParsers.h"

namespace modParsers {

std::vector<RegionRect> ShapedRegionRects(const PixelView& pixels, bool hasAlpha, int style) {
    std::vector<RegionRect> rects;
    if (!pixels.bits || pixels.width <= 0 || pixels.height <= 0) return rects;
    if (!hasAlpha) return {{0, 0, pixels.width, pixels.height}};

    RegionRect bounds{pixels.width, pixels.height, 0, 0};
    for (int32_t m = 0; m < pixels.height; ++m) {
        const uint8_t* row = pixels.MemoryRow(m);
        const int32_t y = pixels.height - 1 - m;
        auto visible = [row](int32_t x) { return row[x * 4 + 3] != 0; };

        int32_t first = 0;
        while (first < pixels.width && !visible(first)) ++first;
        if (first == pixels.width) continue;
        int32_t last = pixels.width - 1;
        while (!visible(last)) --last;

        if (style == 2) {
            for (int32_t x = first; x <= last;) {
                int32_t runEnd = x;
                while (runEnd <= last && visible(runEnd)) ++runEnd;
                rects.push_back({x, y, runEnd, y + 1});
                x = runEnd;
                while (x <= last && !visible(x)) ++x;
            }
        } else if (style == 1) {
            rects.push_back({first, y, last + 1, y + 1});
        } else {
            bounds = {std::min(bounds.left, first), std::min(bounds.top, y), std::max(bounds.right, last + 1),
                      std::max(bounds.bottom, y + 1)};
        }
    }
    if (style != 1 && style != 2 && bounds.right > bounds.left) rects.push_back(bounds);
    return rects;
}

}  // namespace modParsers
