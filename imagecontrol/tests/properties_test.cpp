// What each setter accepts, what it notifies, and the colour-mask flows.
#include <gtest/gtest.h>

#include "imagecontrol/tests/recording_site.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

TEST(ControlProperties, NormaliseOrIgnoreValues) {
    struct Case {
        const char* what;
        std::function<void(aicAlphaImage&)> set;
        std::function<int64_t(const aicAlphaImage&)> get;
        int64_t expected;
    };
    auto opacity = [](int32_t v) { return [v](aicAlphaImage& c) { c.SetOpacity(v); }; };
    auto getOpacity = [](const aicAlphaImage& c) { return int64_t(c.Opacity()); };
    auto rotation = [](int32_t v) { return [v](aicAlphaImage& c) { c.SetRotation(v); }; };
    auto getRotation = [](const aicAlphaImage& c) { return int64_t(c.Rotation()); };
    const Case cases[] = {
        {"opacity 100", opacity(100), getOpacity, 100},
        {"opacity 200", opacity(200), getOpacity, 100},
        {"opacity 150", opacity(150), getOpacity, 50},
        {"opacity -30", opacity(-30), getOpacity, 30},
        {"opacity 0", opacity(0), getOpacity, 0},
        {"opacity min", opacity(INT32_MIN), getOpacity, 48},
        {"rotation 720", rotation(720), getRotation, 0},
        {"rotation -450", rotation(-450), getRotation, -90},
        {"rotation 450", rotation(450), getRotation, 90},
        {"hit test 4", [](auto& c) { c.SetHitTest(4); }, [](auto& c) { return int64_t(c.HitTest()); }, 0},
        {"mirror -1", [](auto& c) { c.SetMirror(-1); }, [](auto& c) { return int64_t(c.Mirror()); }, 0},
        {"depth 11", [](auto& c) { c.SetShadowDepth(11); }, [](auto& c) { return int64_t(c.ShadowDepth()); }, 2},
        {"shadow opacity 101", [](auto& c) { c.SetShadowOpacity(101); },
         [](auto& c) { return int64_t(c.ShadowOpacity()); }, 50},
        {"shadow x 40000", [](auto& c) { c.SetShadowOffsetX(40000); },
         [](auto& c) { return int64_t(c.ShadowOffsetX()); }, 2},  // stored in 16 bits
        {"shadow y -32768", [](auto& c) { c.SetShadowOffsetY(-32768); },
         [](auto& c) { return int64_t(c.ShadowOffsetY()); }, -32768},
        {"grey 9", [](auto& c) { c.SetgrayScale(9); }, [](auto& c) { return int64_t(c.grayScale()); }, 0},
        {"intensity 100.5", [](auto& c) { c.SetIntensityOffset(100.5f); },
         [](auto& c) { return int64_t(c.IntensityOffset()); }, 0},
        {"rotate twice", [](auto& c) { c.SetRotateEnabled(true), c.SetRotateEnabled(true); },
         [](auto& c) { return int64_t(c.RotateEnabled()); }, 1},
    };
    for (const Case& test : cases) {
        TestControl t;
        t.control.InitProperties();
        test.set(t.control);
        EXPECT_EQ(test.get(t.control), test.expected) << test.what;
    }
}

TEST(ControlProperties, NotifyUnderTheirNamesOnlyWhenChanged) {
    TestControl t;
    t.control.InitProperties();
    t.control.SetgrayScale(2);
    t.control.SetgrayScale(2);
    t.control.SetIntensityOffset(-5);
    t.control.SetOpacity(100);  // unchanged, but stored and notified
    t.control.SetMaskColor(0x8000000F);
    t.control.SetShadowOffsetX(2);  // unchanged: nothing
    t.control.SetMousePointer(99);
    EXPECT_EQ(t.site.changed, (std::vector<std::string>{"GrayScale", "Intensity", "Opacity", "MaskColor",
                                                        "MousePointer"}));
    EXPECT_EQ(t.site.pointer, 99);
}

// Opaque pixels of one colour (0x00BBGGRR) with a different top-left corner.
Bytes TwoColourBmp(uint32_t body, uint32_t corner) {
    c32bppDIB image(capability::kGdiplusNever);
    image.InitializeDIB(4, 3);
    auto bgra = [](uint32_t c) { return Bgra{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255}; };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) Put(image, x, y, bgra(x == 0 && y == 0 ? corner : body));
    Bytes bmp;
    image.SaveToStream(bmp);
    return bmp;
}

TEST(ControlMask, SourcesWithAndWithoutInversion) {
    const uint32_t body = 0x102030, corner = 0x405060;
    struct Case {
        int32_t source;
        bool inversed;
        uint32_t applied;
    };
    const Case cases[] = {
        {1, false, body},
        {1, true, body},
        {2, false, corner},
        {2, true, corner},  // picked from the inverted pixels, kept un-inverted
    };
    for (const Case& test : cases) {
        TestControl t;
        t.control.InitProperties();
        ASSERT_TRUE(Load(t.control, TwoColourBmp(body, corner)));
        t.control.SetInversedImage(test.inversed);
        t.control.SetMaskColor(body);
        t.control.SetMaskUsed(test.source);
        EXPECT_TRUE(t.control.MaskApplied());
        EXPECT_EQ(t.control.AppliedMaskColor(), test.applied) << test.source << test.inversed;
        const c32bppDIB& image = t.control.pvGetImageObject();
        const bool cornerCleared = test.source != 1;
        EXPECT_EQ(At(image, 0, 0)[3], cornerCleared ? 0 : 255) << test.source << test.inversed;
        EXPECT_EQ(At(image, 2, 1)[3], cornerCleared ? 255 : 0) << test.source << test.inversed;

        // Off again: every cleared pixel shows the applied colour as drawn.
        t.control.SetMaskUsed(0);
        EXPECT_FALSE(t.control.MaskApplied());
        const uint32_t shown = test.inversed ? test.applied ^ 0xFFFFFF : test.applied;
        EXPECT_EQ(uint32_t(image.GetPixel(cornerCleared ? 0 : 2, cornerCleared ? 0 : 1)), shown);
    }
}

TEST(ControlMask, ColourChangeMovesAnAppliedMask) {
    TestControl t;
    t.control.InitProperties();
    ASSERT_TRUE(Load(t.control, TwoColourBmp(0x102030, 0x405060)));
    t.control.SetMaskColor(0x102030);
    t.control.SetMaskUsed(1);
    t.control.SetMaskColor(0x405060);
    const c32bppDIB& image = t.control.pvGetImageObject();
    EXPECT_EQ(At(image, 0, 0)[3], 0);
    EXPECT_EQ(uint32_t(image.GetPixel(2, 1)), 0x102030u);
    EXPECT_EQ(t.control.AppliedMaskColor(), 0x405060u);

    // An image with alpha and no mask applied takes none.
    TestControl alpha;
    alpha.control.InitProperties();
    ASSERT_TRUE(Load(alpha.control, AlphaPng(8, 8)));
    alpha.control.SetMaskUsed(2);
    EXPECT_EQ(alpha.control.MaskUsed(), 0);
    EXPECT_FALSE(alpha.control.MaskApplied());
}

}  // namespace
