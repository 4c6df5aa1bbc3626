// Regions of an image's visible pixels, under Wine.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "imagecore/c32bppDIB.h"

namespace {

using Rects = std::vector<std::array<LONG, 4>>;

Rects RegionRects(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> data(size);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (size == 0 || GetRegionData(region, size, header) != size) return {};
    Rects rects;
    const RECT* r = reinterpret_cast<const RECT*>(header->Buffer);
    for (DWORD i = 0; i < header->rdh.nCount; ++i) rects.push_back({r[i].left, r[i].top, r[i].right, r[i].bottom});
    return rects;
}

// Picture rows from the top; 'X' is visible.
void Draw(c32bppDIB& image, std::initializer_list<const char*> rows) {
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x)
            if (row[x] == 'X') image.Pixels().PictureRow(y)[x * 4 + 3] = 255;
        ++y;
    }
}

TEST(CreateRegion, StylesGiveBoundingBoxSpansOrRuns) {
    c32bppDIB image;
    EXPECT_FALSE(image.CreateRegion(2));  // no image
    ASSERT_TRUE(image.InitializeDIB(6, 4));
    Draw(image, {".XXX..", "XX.XX.", "......", "..X..."});
    ASSERT_TRUE(image.Alpha());

    win32::Region exact = image.CreateRegion(2);
    ASSERT_TRUE(exact);
    EXPECT_EQ(RegionRects(exact.get()), (Rects{{1, 0, 4, 1}, {0, 1, 2, 2}, {3, 1, 5, 2}, {2, 3, 3, 4}}));
    win32::Region spans = image.CreateRegion(1);
    ASSERT_TRUE(spans);
    EXPECT_EQ(RegionRects(spans.get()), (Rects{{1, 0, 4, 1}, {0, 1, 5, 2}, {2, 3, 3, 4}}));
    win32::Region box = image.CreateRegion(0, 10, -20);
    ASSERT_TRUE(box);
    EXPECT_EQ(RegionRects(box.get()), (Rects{{10, -20, 15, -16}}));
    win32::Region moved = image.CreateRegion(2, 1, 2);
    EXPECT_EQ(RegionRects(moved.get()), (Rects{{2, 2, 5, 3}, {1, 3, 3, 4}, {4, 3, 6, 4}, {3, 5, 4, 6}}));

    EXPECT_FALSE(image.CreateRegion(3));
    EXPECT_FALSE(image.CreateRegion(-1));

    image.SetAlpha(false);  // an opaque image is its rectangle
    win32::Region whole = image.CreateRegion(2);
    EXPECT_EQ(RegionRects(whole.get()), (Rects{{0, 0, 6, 4}}));
}

TEST(CreateRegion, NoVisiblePixelNoRegion) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(3, 3));
    for (int style = 0; style < 3; ++style) EXPECT_FALSE(image.CreateRegion(style)) << style;
}

}  // namespace
