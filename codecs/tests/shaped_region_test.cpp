#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/modParsers.h"

namespace {

using modParsers::RegionRect;

// Pixels from a picture drawn top row first: 'X' visible, '.' transparent.
struct Drawing {
    std::vector<uint8_t> bytes;
    PixelView view;

    explicit Drawing(const std::vector<std::string>& rows) {
        int32_t height = static_cast<int32_t>(rows.size()), width = static_cast<int32_t>(rows[0].size());
        bytes.resize(static_cast<size_t>(width) * height * 4);
        view = {bytes.data(), width, height};
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) view.PictureRow(y)[x * 4 + 3] = rows[y][x] == 'X' ? 255 : 0;
    }
};

const std::vector<std::string> kRing = {
    ".XXX.",
    "XX.XX",
    "X...X",
    "XX.XX",
    ".XXX.",
};

TEST(ShapedRegionRects, ExactRunsOfARing) {
    Drawing ring(kRing);
    std::vector<RegionRect> rects = modParsers::ShapedRegionRects(ring.view, true, 2);
    // Memory order: the bottom picture row comes first.
    EXPECT_EQ(rects, (std::vector<RegionRect>{{1, 4, 4, 5},
                                              {0, 3, 2, 4}, {3, 3, 5, 4},
                                              {0, 2, 1, 3}, {4, 2, 5, 3},
                                              {0, 1, 2, 2}, {3, 1, 5, 2},
                                              {1, 0, 4, 1}}));
}

TEST(ShapedRegionRects, RowSpansOfARing) {
    Drawing ring(kRing);
    EXPECT_EQ(modParsers::ShapedRegionRects(ring.view, true, 1),
              (std::vector<RegionRect>{{1, 4, 4, 5}, {0, 3, 5, 4}, {0, 2, 5, 3}, {0, 1, 5, 2}, {1, 0, 4, 1}}));
    EXPECT_EQ(modParsers::ShapedRegionRects(ring.view, true, 0), (std::vector<RegionRect>{{0, 0, 5, 5}}));
}

TEST(ShapedRegionRects, SingleColumn) {
    Drawing column({"...", "..X", "..X", "..."});
    EXPECT_EQ(modParsers::ShapedRegionRects(column.view, true, 0), (std::vector<RegionRect>{{2, 1, 3, 3}}));
    EXPECT_EQ(modParsers::ShapedRegionRects(column.view, true, 1),
              (std::vector<RegionRect>{{2, 2, 3, 3}, {2, 1, 3, 2}}));
    EXPECT_EQ(modParsers::ShapedRegionRects(column.view, true, 2),
              (std::vector<RegionRect>{{2, 2, 3, 3}, {2, 1, 3, 2}}));
}

TEST(ShapedRegionRects, NothingVisibleGivesNoRectanglesAndNoAlphaTheWholeImage) {
    Drawing empty({"...", "..."});
    for (int style : {0, 1, 2}) EXPECT_TRUE(modParsers::ShapedRegionRects(empty.view, true, style).empty()) << style;
    EXPECT_EQ(modParsers::ShapedRegionRects(empty.view, false, 2), (std::vector<RegionRect>{{0, 0, 3, 2}}));
    EXPECT_TRUE(modParsers::ShapedRegionRects(PixelView{}, false, 2).empty());
}

}  // namespace
