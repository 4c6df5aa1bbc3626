// Where the picture is drawn, at what size, and what a paint puts where.
#include <gtest/gtest.h>

#include <cstring>

#include "imagecontrol/tests/recording_site.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

TEST(ControlLayout, ScalesAndPlacesThePicture) {
    struct Case {
        int imageW, imageH, method;
        bool rotate;
        int width, height, left, top, extent;
        bool actualSize;
        double deviceScale = 1;
    };
    const Case cases[] = {
        {100, 50, 0, false, 300, 150, 0, 75, 0, false},
        {100, 50, 1, false, 300, 300, 0, 0, 0, false},
        {100, 50, 2, false, 100, 50, 100, 125, 0, true},
        {100, 50, 3, false, 100, 50, 100, 125, 0, true},
        {30, 40, 0, true, 180, 240, 0, 0, 300, false},  // D = 50: rx 0.6, ry 0.8 of 300
        {500, 400, 3, false, 500, 400, 0, 0, 0, true},   // larger than the control: from (0, 0)
        {100, 60, 3, false, 150, 90, 75, 105, 0, false, 1.5},  // actual size at 144 DPI
        {100, 60, 2, false, 150, 90, 75, 105, 0, false, 1.5},  // never beyond it
    };
    for (const Case& c : cases) {
        TestControl t(300, 300);
        t.control.InitProperties();
        t.control.SetAutoSize(false);
        ASSERT_TRUE(Load(t.control, OpaquePng(c.imageW, c.imageH)));
        t.control.SetScaleMethod(c.method);
        t.control.SetRotateEnabled(c.rotate);
        t.control.SetDeviceScale(c.deviceScale);
        const auto& k = t.control;
        EXPECT_EQ(std::vector<int>({k.ScaledWidth(), k.ScaledHeight(), k.ImageLeft(), k.ImageTop()}),
                  std::vector<int>({c.width, c.height, c.left, c.top}))
            << c.imageW << "x" << c.imageH << " method " << c.method << " scale " << c.deviceScale;
        if (c.rotate) {
            EXPECT_EQ(k.RotatedExtent(), c.extent);
        }
        EXPECT_EQ(k.ActualSizeDraw(), c.actualSize);
    }
    // 30 x 40 in 100 x 100, rotated: 60 x 80 in a 100-pixel square.
    TestControl small;
    small.control.InitProperties();
    small.control.SetAutoSize(false);
    small.control.SetRotateEnabled(true);
    ASSERT_TRUE(Load(small.control, OpaquePng(30, 40)));
    EXPECT_EQ(std::vector<int>({small.control.ScaledWidth(), small.control.ScaledHeight(),
                                small.control.RotatedExtent()}),
              std::vector<int>({60, 80, 100}));
}

TEST(ControlLayout, AutoSizeResizesOnceAndRepaintsOnlyWhenTheSizeStays) {
    TestControl t(300, 300);
    t.control.InitProperties();  // AutoSize on, method 0
    ASSERT_TRUE(Load(t.control, OpaquePng(100, 50)));
    EXPECT_EQ(t.site.sizeCalls, 1);
    EXPECT_EQ(std::vector<double>({t.site.width, t.site.height}), std::vector<double>({300, 150}));
    EXPECT_EQ(t.site.refreshes, 0) << "the host repaints a resized control itself";

    t.control.SetAutoSize(false);
    const int before = t.site.refreshes;
    t.control.SetScaleMethod(2);
    EXPECT_EQ(t.site.refreshes, before + 1);
    EXPECT_EQ(t.site.sizeCalls, 1);
}

TEST(ControlPaint, DrawsWhatRenderDrawsAndNothingElse) {
    const Bytes png = AlphaPng(40, 30);
    TestControl t(80, 80);
    t.control.InitProperties();
    t.control.SetAutoSize(false);
    ASSERT_TRUE(Load(t.control, png));
    Host painted(80, 80), expected(80, 80);
    painted.Paint(t.control, {0, 0, 80, 80});
    c32bppDIB source(capability::kGdiplusNever);
    source.LoadPicture_Stream(png);
    source.SetHighQualityInterpolation(true);
    source.Render(nullptr, 0, 10, 80, 60, 0, 0, 0, 0, 100, true, true, &expected.image, -1, 0, 0, false);
    EXPECT_EQ(std::memcmp(painted.image.BitsPointer(), expected.image.BitsPointer(), 80 * 80 * 4), 0);

    // A clip box that misses the picture paints nothing, shadow included.
    t.control.SetShadowEnabled(true);
    t.control.OffsetShadow(0, -20);
    Host missed(80, 80);
    missed.Paint(t.control, {0, 0, 80, 8});
    EXPECT_TRUE(missed.Untouched());

    // At twice 96 DPI the shadow's offset doubles with the picture.
    TestControl doubled(100, 100);
    doubled.control.InitProperties();
    doubled.control.SetAutoSize(false);
    ASSERT_TRUE(Load(doubled.control, OpaquePng(20, 20)));
    doubled.control.SetScaleMethod(3);
    doubled.control.SetDeviceScale(2);
    doubled.control.SetShadowEnabled(true);
    doubled.control.SetShadowDepth(0);
    doubled.control.OffsetShadow(3, 0);
    Host shadowed(100, 100);
    shadowed.Paint(doubled.control, {0, 0, 100, 100});
    int rightmost = -1;
    for (int x = 0; x < 100; ++x)
        if (shadowed.image.BitsPointer()[(50 * 100 + x) * 4 + 3] != 0) rightmost = x;
    EXPECT_EQ(rightmost, 30 + 40 + 6 - 1);
}

TEST(ControlPaint, EmptyControlShowsACheckerboardOnlyWhileDesigned) {
    TestControl design(30, 20, false);
    design.control.InitProperties();
    design.control.Resize();
    EXPECT_EQ(design.control.pvGetImageObject().ImageType(), imgCheckerBoard);
    Host board(30, 20);
    board.Paint(design.control, {0, 0, 30, 20});
    EXPECT_EQ(At(board.image, 0, 0), (Bgra{255, 255, 255, 255}));
    EXPECT_EQ(At(board.image, 12, 0), (Bgra{192, 192, 192, 255}));
    EXPECT_EQ(At(board.image, 29, 19), (Bgra{192, 192, 192, 255}));

    TestControl run(30, 20);
    run.control.InitProperties();
    run.control.Resize();
    Host nothing(30, 20);
    nothing.Paint(run.control, {0, 0, 30, 20});
    EXPECT_TRUE(nothing.Untouched());
}

TEST(ControlPaint, BufferAndHitAreaFollowThePicture) {
    TestControl t(60, 60);
    t.control.InitProperties();
    t.control.SetAutoSize(false);
    t.control.SetScaleMethod(3);
    t.control.SetAutoRedraw(true);
    t.control.SetHitTest(1);
    ASSERT_TRUE(Load(t.control, OpaquePng(20, 10)));
    ASSERT_NE(t.control.BufferImage(), nullptr);
    EXPECT_TRUE(t.control.BufferImage()->Alpha()) << "the buffer is transparent around an opaque picture";
    EXPECT_EQ(t.control.HitRect(), (PixelRect{20, 25, 40, 35}));
    EXPECT_TRUE(t.control.HitTestPoint(20, 25));
    EXPECT_FALSE(t.control.HitTestPoint(40.4f, 30));

    // Drawn through the buffer, the same pixels as without it.
    Host buffered(60, 60), direct(60, 60);
    buffered.Paint(t.control, {0, 0, 60, 60});
    t.control.SetAutoRedraw(false);
    direct.Paint(t.control, {0, 0, 60, 60});
    EXPECT_EQ(std::memcmp(buffered.image.BitsPointer(), direct.image.BitsPointer(), 60 * 60 * 4), 0);

    // Shaping the hit area keeps the buffer AutoRedraw asked for, not drawn yet.
    t.control.SetAutoRedraw(true);
    t.control.SetHitTest(2);
    EXPECT_NE(t.control.BufferImage(), nullptr);
    EXPECT_TRUE(t.control.PropsFlags() & 0x020u);

    t.control.SetMaskUsed(2);  // the corner colour goes: a hole in the shape
    EXPECT_TRUE(t.control.HasHitRegion());
    EXPECT_FALSE(t.control.HitTestPoint(20, 25));
    EXPECT_TRUE(t.control.HitTestPoint(25, 30));

    // Moved, the region takes HitRect, its bounding box, along; an overflowing move fails.
    const PixelRect shape = t.control.HitRect();
    int32_t x = 0, y = 0, shadowX = 0, shadowY = 0;
    ASSERT_TRUE(t.control.OffsetImage(true, x, y, shadowX, shadowY));
    EXPECT_EQ(t.control.HitRect(), (PixelRect{0, 0, shape.right - shape.left, shape.bottom - shape.top}));
    EXPECT_TRUE(t.control.HitTestPoint(5, 5));
    x = INT32_MAX;
    EXPECT_FALSE(t.control.OffsetImage(true, x, y, shadowX, shadowY));
    EXPECT_EQ(t.control.HitRect().left, 0);
}

}  // namespace
