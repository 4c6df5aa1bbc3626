// Drawing a drop shadow onto a device context under Wine.
#include <gtest/gtest.h>

#include "common/win32_handles.h"
#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"

namespace {

TEST(RenderDropShadow, DrawsTheShadowAtItsFullSize) {
    c32bppDIB image(capability::kGdiplusNever);
    EXPECT_FALSE(image.RenderDropShadow_JIT(nullptr, 0, 0, 2, 0, 100));  // no image
    ASSERT_TRUE(image.InitializeDIB(4, 4));
    for (int32_t i = 0; i < 16; ++i) image.BitsPointer()[i * 4 + 3] = 255;  // an opaque square

    // A white 20 x 20 target; the shadow (red, depth 2) is 8 x 8 at (3, 5).
    c32bppDIB target(capability::kGdiplusNever);
    ASSERT_TRUE(target.InitializeDIB(20, 20));
    std::fill_n(target.BitsPointer(), 20 * 20 * 4, uint8_t{255});
    HDC dc = target.LoadDIBinDC(true);
    ASSERT_TRUE(image.RenderDropShadow_JIT(dc, 3, 5, 2, RGB(255, 0, 0), 100));
    GdiFlush();
    target.LoadDIBinDC(false);

    const auto pixel = [&](int32_t x, int32_t y) { return target.Pixels().PictureRow(y) + x * 4; };
    EXPECT_EQ(pixel(2, 8)[1], 255);  // left of the shadow: untouched
    EXPECT_EQ(pixel(11, 8)[1], 255);  // right of it
    // The centre's 5 x 5 window holds all 16 source pixels: alpha 16 x 255 / 25
    // = 163, so red over white keeps 255 - 163 = 92 of the white's green.
    EXPECT_EQ(pixel(6, 8)[2], 255);
    EXPECT_EQ(pixel(6, 8)[1], 92);
    EXPECT_GT(pixel(3, 5)[1], 0);     // the blurred corner lets white through
    EXPECT_LT(pixel(3, 5)[1], 255);
}

}  // namespace
