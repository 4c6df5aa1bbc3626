// Render through a host image with the own engine (GDI+ and AlphaBlend
// switched off, so that the same results hold natively and under Wine).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

// An image that only the own engine draws.
struct EngineImage : c32bppDIB {
    EngineImage(int width, int height, bool interpolate = false) : c32bppDIB(capability::kGdiplusNever) {
        InitializeDIB(width, height);
        SetHighQualityInterpolation(interpolate);
    }
    // Opaque, every pixel different: blue = 10 x column + 1, green = 10 x row + 1.
    void Number() {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) Put(*this, x, y, {uint8_t(10 * x + 1), uint8_t(10 * y + 1), 7, 255});
    }
    void Fill(Bgra value) {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) Put(*this, x, y, value);
    }
};

std::vector<uint8_t> BufferBytes(const c32bppDIB& image) {
    return {image.BitsPointer(), image.BitsPointer() + image.scanWidth() * image.Height()};
}

TEST(RenderScaling, TwoByTwoToFourByFourInterpolated) {
    EngineImage source(2, 2, true);
    Put(source, 0, 0, {10, 100, 0, 255});  // top row
    Put(source, 1, 0, {21, 120, 3, 255});
    Put(source, 0, 1, {40, 200, 6, 255});  // bottom row = memory row 0
    Put(source, 1, 1, {61, 231, 9, 255});
    EngineImage host(4, 4);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 4, 4, 0, 0, 0, 0, 100, true, true, &host));

    // Columns: source 0, the mean of 0 and 1 (rounded down), 1, 1.
    const Bgra bottom[4] = {{40, 200, 6, 255}, {50, 215, 7, 255}, {61, 231, 9, 255}, {61, 231, 9, 255}};
    for (int y = 1; y < 4; ++y)  // memory rows 0..2 take the bottom source row
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(host, x, y), bottom[x]) << x << "," << y;
    // The top row is the mean of both rows: (10+40)/2, (10+21+40+61)/4 = 33, ...
    const Bgra top[4] = {{25, 150, 3, 255}, {33, 162, 4, 255}, {41, 175, 6, 255}, {41, 175, 6, 255}};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(host, x, 0), top[x]) << x;
}

TEST(RenderScaling, NearestTakesTheColumnTableAndRowFloor) {
    EngineImage source(3, 2);
    source.Number();
    EngineImage host(6, 4);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 6, 4, 0, 0, 0, 0, 100, true, true, &host));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(At(host, x, y), At(source, x / 2, y / 2)) << x << "," << y;
}

TEST(RenderCompositing, OverWhiteAndGreyAtFullAndHalfOpacity) {
    EngineImage pixel(1, 1);
    pixel.Fill({128, 128, 128, 128});
    for (int opacity : {100, 200}) {
        EngineImage white(1, 1);
    white.Fill({255, 255, 255, 255});
        ASSERT_TRUE(pixel.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, opacity, true, true, &white));
        EXPECT_EQ(At(white, 0, 0), (Bgra{255, 255, 255, 255}));  // 128 + 255 x 127 / 255
        EngineImage grey(1, 1);
    grey.Fill({100, 100, 100, 255});
        ASSERT_TRUE(pixel.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, opacity, true, true, &grey));
        EXPECT_EQ(At(grey, 0, 0), (Bgra{177, 177, 177, 255}));  // 128 + 100 x 127 / 255
    }
    // 50 % (and 150 %): O = 127, k = 255 - 128 x 127 / 255 = 192.
    for (int opacity : {50, 150}) {
        EngineImage white(1, 1);
    white.Fill({255, 255, 255, 255});
        ASSERT_TRUE(pixel.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, opacity, true, true, &white));
        EXPECT_EQ(At(white, 0, 0), (Bgra{255, 255, 255, 255}));
        EngineImage grey(1, 1);
    grey.Fill({100, 100, 100, 200});
        ASSERT_TRUE(pixel.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, opacity, true, true, &grey));
        // (100 x 192 + 128 x 127) / 255 = 139; alpha (200 x 192 + 128 x 127) / 255 = 214
        EXPECT_EQ(At(grey, 0, 0), (Bgra{139, 139, 139, 214}));
    }
}

TEST(RenderCompositing, OpaqueAndTransparentSourcePixels) {
    EngineImage source(2, 1);
    Put(source, 0, 0, {1, 2, 3, 255});
    Put(source, 1, 0, {0, 0, 0, 0});
    EngineImage host(2, 1);
    host.Fill({50, 60, 70, 80});
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &host));
    EXPECT_EQ(At(host, 0, 0), (Bgra{1, 2, 3, 255}));
    EXPECT_EQ(At(host, 1, 0), (Bgra{50, 60, 70, 80}));
}

TEST(RenderCompositing, ColoursAboveAlphaNeverWrapAround) {
    EngineImage source(1, 1);
    source.Fill({250, 250, 250, 100});  // not valid premultiplied data
    EngineImage host(1, 1);
    host.Fill({200, 10, 200, 255});
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &host));
    // 250 + 200 x 155 / 255 = 371 does not fit: that byte stays; 250 + 6 = 256 stays too.
    EXPECT_EQ(At(host, 0, 0), (Bgra{200, 10, 200, 255}));
}

TEST(RenderEffects, LightnessFullOnHalfTransparentPixel) {
    EngineImage source(1, 1);
    source.Fill({10, 20, 30, 128});
    EngineImage host(1, 1);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &host, -1, 100));
    EXPECT_EQ(At(host, 0, 0), (Bgra{128, 128, 128, 128}));  // limited to alpha

    EngineImage darker(1, 1);
    EngineImage mid(1, 1);
    mid.Fill({100, 120, 128, 128});
    ASSERT_TRUE(mid.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &darker, -1, -50));
    EXPECT_EQ(At(darker, 0, 0), (Bgra{36, 56, 64, 128}));  // delta -127.5 x 128 / 255 = -64
}

TEST(RenderEffects, LightnessOutOfRangeCountsAsZero) {
    EngineImage source(3, 3);
    source.Number();
    EngineImage plain(3, 3), adjusted(3, 3);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &plain));
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &adjusted, -1, 150));
    EXPECT_EQ(BufferBytes(plain), BufferBytes(adjusted));
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &adjusted, -1, 20));
    EXPECT_NE(BufferBytes(plain), BufferBytes(adjusted));
}

TEST(RenderEffects, GreyFormulasUseTheWeightTable) {
    EngineImage source(1, 1);
    source.Fill({10, 20, 30, 255});
    auto grey = [&](int formula) {
        EngineImage host(1, 1);
        source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &host, formula);
        return At(host, 0, 0);
    };
    // 30 x 0.299 + 20 x 0.587 + 10 x 0.114 = 21.85
    EXPECT_EQ(grey(12), (Bgra{22, 22, 22, 255}));
    EXPECT_EQ(grey(0), grey(12));
    EXPECT_EQ(grey(1), (Bgra{21, 21, 21, 255}));  // 6.39 + 14.3 + 0.72
    EXPECT_EQ(grey(-1), (Bgra{10, 20, 30, 255}));
}

TEST(RenderClipping, NegativeDestinationCutsThePicture) {
    EngineImage source(4, 2);
    source.Number();
    EngineImage host(4, 2);
    ASSERT_TRUE(source.Render(nullptr, -2, -1, 0, 0, 0, 0, 0, 0, 100, true, true, &host));
    EXPECT_EQ(At(host, 0, 0), At(source, 2, 1));
    EXPECT_EQ(At(host, 1, 0), At(source, 3, 1));
    EXPECT_EQ(At(host, 2, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(At(host, 0, 1), (Bgra{0, 0, 0, 0}));

    // Scaled: the cut is taken from the scaled picture.
    EngineImage wide(4, 1);
    EngineImage two(2, 1);
    two.Number();
    ASSERT_TRUE(two.Render(nullptr, -2, 0, 4, 1, 0, 0, 0, 0, 100, true, true, &wide));
    EXPECT_EQ(At(wide, 0, 0), At(two, 1, 0));
    EXPECT_EQ(At(wide, 1, 0), At(two, 1, 0));
    EXPECT_EQ(At(wide, 2, 0), (Bgra{0, 0, 0, 0}));
}

TEST(RenderClipping, BeyondTheHostIsNotWritten) {
    EngineImage source(3, 3);
    source.Number();
    EngineImage host(4, 4);
    ASSERT_TRUE(source.Render(nullptr, 2, 3, 0, 0, 0, 0, 0, 0, 100, true, true, &host));
    EXPECT_EQ(At(host, 2, 3), At(source, 0, 0));
    EXPECT_EQ(At(host, 3, 3), At(source, 1, 0));
    EXPECT_EQ(At(host, 1, 3), (Bgra{0, 0, 0, 0}));
}

TEST(RenderNormalisation, OpacityAndNothingToDrawOn) {
    EngineImage source(2, 2);
    source.Number();
    EngineImage host(2, 2);
    EXPECT_TRUE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, -30, true, true, &host));
    EXPECT_EQ(BufferBytes(host), std::vector<uint8_t>(16, 0));  // nothing drawn
    EngineImage empty(1, 1);
    empty.DestroyDIB();
    EXPECT_FALSE(empty.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, -30, true, true, &host));
    EXPECT_FALSE(empty.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &host));
    EXPECT_FALSE(source.Render(nullptr));                        // no target
    EXPECT_FALSE(source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 100, true, true, &empty));  // host without image
}

TEST(RenderNormalisation, WholeTurnsDrawUnturned) {
    EngineImage source(3, 2);
    source.Number();
    EngineImage plain(8, 8);
    ASSERT_TRUE(source.Render(nullptr, 2, 2, 0, 0, 0, 0, 0, 0, 100, true, true, &plain));
    for (float angle : {360.0f, -720.0f}) {
        EngineImage turned(8, 8);
        ASSERT_TRUE(source.Render(nullptr, 2, 2, 0, 0, 0, 0, 0, 0, 100, true, true, &turned, -1, 0, angle));
        EXPECT_EQ(BufferBytes(turned), BufferBytes(plain)) << angle;
    }
    // Half a degree goes through the rotation engine: 0 degrees on a 4 x 4
    // intermediate, whose integer halves put the 3 x 2 picture one column left.
    EngineImage half(8, 8);
    ASSERT_TRUE(source.Render(nullptr, 2, 2, 0, 0, 0, 0, 0, 0, 100, true, true, &half, -1, 0, 0.5f));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(At(half, 1 + x, 2 + y), At(source, x, y)) << x << "," << y;
}

TEST(RenderNormalisation, NegativeSourceSizeMirrors) {
    EngineImage source(10, 2);
    source.Number();
    EngineImage host(10, 2);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 10, 0, 0, 0, -10, 0, 100, true, true, &host));
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(host, x, 0), At(source, 9 - x, 0)) << x;

    EngineImage flipped(10, 2);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 0, -2, 0, 0, 0, 0, 100, true, true, &flipped));
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(flipped, x, 0), At(source, x, 1)) << x;

    // Mirrored and stretched: 10 x 2 mirrored into 5 x 1.
    EngineImage small(5, 1);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, -5, 1, 0, 0, 0, 0, 100, true, true, &small));
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(small, x, 0), At(source, 9 - 2 * x, 1)) << x;  // bottom row
}

TEST(RenderNormalisation, SourceRectangleIsCutAtTheEdge) {
    EngineImage source(4, 3);
    source.Number();
    EngineImage host(4, 3);
    ASSERT_TRUE(source.Render(nullptr, 0, 0, 2, 0, 2, -5, 10, 0, 100, true, true, &host));
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(At(host, 0, y), At(source, 2, y));
        EXPECT_EQ(At(host, 1, y), At(source, 3, y));
        EXPECT_EQ(At(host, 2, y), (Bgra{0, 0, 0, 0}));
    }
    EXPECT_FALSE(source.Render(nullptr, 0, 0, 0, 0, 4, 0, 0, 0, 100, true, true, &host));  // starts beyond
}

TEST(RenderNormalisation, CentredOnDestination) {
    EngineImage source(3, 3);
    source.Number();
    EngineImage host(5, 5);
    ASSERT_TRUE(source.Render(nullptr, 2, 2, 0, 0, 0, 0, 0, 0, 100, true, true, &host, -1, 0, 0, true));
    EXPECT_EQ(At(host, 1, 1), At(source, 0, 0));
    EXPECT_EQ(At(host, 3, 3), At(source, 2, 2));
}

TEST(RenderNormalisation, ExtremeSizesFailWithoutHarm) {
    EngineImage source(2, 2);
    source.Number();
    EngineImage host(2, 2);
    EXPECT_FALSE(source.Render(nullptr, 0, 0, INT32_MAX, INT32_MAX, 0, 0, 0, 0, 100, true, true, &host));
    EXPECT_FALSE(source.Render(nullptr, INT32_MIN, 0, 0, 0, 0, 0, INT32_MIN, 0, 100, true, true, &host));
    EXPECT_FALSE(source.Render(nullptr, INT32_MIN, 0, 3, 3, 0, 0, 0, 0, 100, true, true, &host));  // scaled, all left of 0
    EXPECT_FALSE(source.Render(nullptr, 0, 0, 100000, 100000, 0, 0, 0, 0, 100, true, true, &host, -1, 0, 45));
    EXPECT_TRUE(source.Render(nullptr, INT32_MAX, INT32_MAX, 0, 0, 0, 0, 0, 0, 100, true, true, &host));
}

TEST(RenderRotation, NinetyPointFourIsNinety) {
    EngineImage source(3, 3);
    source.Number();
    EngineImage exact(5, 5), rounded(5, 5);
    ASSERT_TRUE(source.Render(nullptr, 1, 1, 0, 0, 0, 0, 0, 0, 100, true, true, &exact, -1, 0, 90));
    ASSERT_TRUE(source.Render(nullptr, 1, 1, 0, 0, 0, 0, 0, 0, 100, true, true, &rounded, -1, 0, 90.4f));
    EXPECT_EQ(BufferBytes(exact), BufferBytes(rounded));
    // A quarter turn clockwise on a 4 x 4 intermediate placed at (0, 0): the
    // left column, read upward, becomes the top row and the right column the
    // bottom row.
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(At(exact, x, 1), At(source, 0, 2 - x)) << x;
        EXPECT_EQ(At(exact, x, 3), At(source, 2, 2 - x)) << x;
    }
    EXPECT_EQ(At(exact, 3, 2), (Bgra{0, 0, 0, 0}));
}

TEST(RenderRotation, APartTurnsAboutItsOwnCentre) {
    EngineImage whole(6, 5);
    whole.Number();
    EngineImage part(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) Put(part, x, y, At(whole, 2 + x, 1 + y));
    for (float angle : {30.0f, 150.0f, 250.0f}) {
        EngineImage fromWhole(9, 9), fromPart(9, 9);
        ASSERT_TRUE(whole.Render(nullptr, 3, 3, 3, 3, 2, 1, 3, 3, 100, true, true, &fromWhole, -1, 0, angle));
        ASSERT_TRUE(part.Render(nullptr, 3, 3, 3, 3, 0, 0, 0, 0, 100, true, true, &fromPart, -1, 0, angle));
        // The positions are worked out in the source's own coordinates, so a
        // sample on a pixel edge may round the other way (250 degrees: one).
        int differing = 0;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x) differing += At(fromWhole, x, y) != At(fromPart, x, y);
        EXPECT_LE(differing, 1) << angle;
    }
}

}  // namespace
