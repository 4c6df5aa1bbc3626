// Saving the control into its form's properties and restoring it.
#include <gtest/gtest.h>

#include "imagecontrol/tests/recording_site.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

Bytes PixelBytes(const c32bppDIB& image) {
    const uint8_t* bits = image.BitsPointer();
    return bits ? Bytes(bits, bits + image.Pixels().PixelCount() * 4) : Bytes{};
}

// A 24-bit BMP (a bitmap type, so it is saved as PNG of its pixels).
Bytes BmpOf(const Bytes& png) {
    c32bppDIB image(capability::kGdiplusNever);
    image.LoadPicture_Stream(png);
    Bytes bmp;
    image.SaveToStream(bmp);
    return bmp;
}

PropertyValue Int(int64_t v) { return PropertyValue(v); }

TEST(ControlPersistence, EveryKeyRoundTripsInOrder) {
    TestControl a(60, 50);
    a.control.InitProperties();
    ASSERT_TRUE(Load(a.control, BmpOf(OpaquePng(40, 30))));
    const uint32_t masked = uint32_t(a.control.pvGetImageObject().GetPixel(3, 3));
    a.control.SetMaskColor(masked);
    a.control.SetMaskUsed(1);
    a.control.SetMirror(1);
    a.control.SetInversedImage(true);
    a.control.SetOpacity(70);
    a.control.SetRotateEnabled(true);
    a.control.SetRotation(30);
    a.control.SetgrayScale(2);
    a.control.SetHitTest(2);
    a.control.SetAutoRedraw(true);
    a.control.SetStretchQuality(false);
    a.control.SetShadowEnabled(true);
    a.control.SetShadowColor(0x123456);
    a.control.SetShadowDepth(5);
    a.control.SetShadowOffsetX(-3);
    a.control.SetShadowOffsetY(4);
    a.control.SetShadowOpacity(80);
    a.control.SetIntensityOffset(12.5f);
    a.control.SetMouseIcon({1, 2, 3});
    a.control.SetMousePointer(99);
    a.control.SetOLEDropMode(1);
    a.control.SetEnabled(false);
    a.control.SetScaleMethod(4);
    const Bytes shown = PixelBytes(a.control.pvGetImageObject());

    a.control.WriteProperties();
    EXPECT_EQ(PixelBytes(a.control.pvGetImageObject()), shown) << "saving changes nothing shown";
    EXPECT_EQ(a.site.Keys(), (std::vector<std::string>{
                                 "Image", "Scaler", "Opacity", "Mirror", "Angle", "Enabled", "MPointer", "OLEdrop",
                                 "MIcon", "GrayScale", "HitTest", "Props", "MaskUsed", "MaskColor", "MaskSource",
                                 "Mask", "ShadowColor", "ShadowDepth", "ShadowX", "ShadowY", "ShadowOpacity",
                                 "Intensity", "ScaleCx", "ScaleCy"}));
    EXPECT_EQ(*a.site.ReadProperty("Props"), Int(0x1CC)) << "without the buffer-in-use bit";

    TestControl b(a.site.width, a.site.height);
    b.site.stored = a.site.stored;
    b.control.ReadProperties();
    EXPECT_EQ(PixelBytes(b.control.pvGetImageObject()), shown);
    EXPECT_EQ(b.control.PropsFlags(), a.control.PropsFlags());
    auto state = [](const TestControl& t) {
        const aicAlphaImage& c = t.control;
        return std::vector<int64_t>{c.ScaleMethod(), c.Opacity(), c.Mirror(), c.Rotation(), c.grayScale(),
                                    c.HitTest(), c.MaskUsed(), c.MaskApplied(), c.MaskColor(), c.AppliedMaskColor(),
                                    c.ShadowColor(), c.ShadowDepth(), c.ShadowOffsetX(), c.ShadowOffsetY(),
                                    c.ShadowOpacity(), int64_t(c.IntensityOffset() * 2), c.Enabled(),
                                    c.MousePointer(), c.OLEDropMode(), c.ScaledWidth(), c.ScaledHeight(),
                                    int64_t(c.MouseIcon().size())};
    };
    EXPECT_EQ(state(b), state(a));
}

TEST(ControlPersistence, DefaultsAndConditionalKeysAreLeftOut) {
    TestControl t;
    t.control.InitProperties();
    ASSERT_TRUE(Load(t.control, BmpOf(OpaquePng(10, 10))));
    t.control.WriteProperties();
    // A new control differs from the stored defaults only in AutoSize.
    EXPECT_EQ(t.site.Keys(), (std::vector<std::string>{"Image", "Props"}));

    // No encoder at all: a bitmap is stored as an empty image.
    modParsers::SetZlibDisabled(true);
    t.control.WriteProperties();
    modParsers::SetZlibDisabled(false);
    EXPECT_EQ(*t.site.ReadProperty("Image"), PropertyValue(Bytes{}));
}

TEST(ControlPersistence, UnreadableOrOutOfRangeValuesReadAsDefaults) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, PropertyValue>> stored;
    };
    const Bytes png = OpaquePng(20, 20);
    Bytes damaged = png;
    damaged[40] ^= 0xFF;
    const Case cases[] = {
        {"empty image", {{"Image", Bytes{}}, {"Scaler", Int(4)}, {"Props", Int(0x1FF)}, {"Angle", Int(30)}}},
        {"damaged image", {{"Image", damaged}, {"Scaler", Int(4)}, {"Props", Int(0x1FF)}, {"Opacity", Int(50)}}},
        {"out of range",
         {{"Image", png}, {"Opacity", Int(5000)}, {"ShadowDepth", Int(100000)}, {"Mirror", Int(9)},
          {"GrayScale", Int(9)}, {"HitTest", Int(9)}, {"Scaler", Int(4)}, {"ScaleCx", Int(1000000000)},
          {"ScaleCy", Int(5)}, {"Angle", Int(400)}, {"Intensity", PropertyValue(1e9)},
          {"ShadowX", Int(1 << 20)}, {"MaskSource", Int(6)}, {"Props", Int(-1)}}},
        {"wrong kinds", {{"Image", PropertyValue(std::string("x"))}, {"Opacity", PropertyValue(std::string("50"))}}},
    };
    for (const Case& test : cases) {
        TestControl t;
        t.site.stored = test.stored;
        t.control.ReadProperties();
        const aicAlphaImage& c = t.control;
        const bool empty = c.pvGetImageObject().Handle() == 0;
        EXPECT_EQ(empty, test.what != std::string("out of range")) << test.what;
        if (empty) {
            EXPECT_EQ(c.ScaleMethod(), 0) << test.what;
            EXPECT_EQ(c.PropsFlags(), test.stored.size() > 2 ? 0x011u : 0x001u) << test.what;
        }
        EXPECT_EQ(c.Opacity(), 100) << test.what;
        EXPECT_EQ(c.Rotation(), 0) << test.what;
        EXPECT_EQ(c.ShadowDepth(), 2) << test.what;
        EXPECT_EQ(c.Mirror(), 0) << test.what;
        EXPECT_EQ(c.grayScale(), 0) << test.what;
        EXPECT_EQ(c.HitTest(), 0) << test.what;
        EXPECT_EQ(c.IntensityOffset(), 0) << test.what;
        EXPECT_EQ(c.ShadowOffsetX(), 2) << test.what;
        EXPECT_EQ(c.MaskUsed(), 0) << test.what;
        if (!empty) {
            // Stray bits of "Props" are dropped, the switches kept; a size no
            // control could draw is limited, a small one kept.
            EXPECT_EQ(c.PropsFlags() & ~0x020u, 0x1DDu);
            EXPECT_EQ(c.ScaledWidth(), 1600);
            EXPECT_EQ(c.ScaledHeight(), 5);
        }
    }
}

TEST(ControlPersistence, AFixedSizeBeyondTheControlAtLoadIsKeptAndDrawn) {
    // Designed at 144 DPI, run at 96: the stored size exceeds the control and the picture.
    TestControl t(100, 80);
    t.site.stored = {{"Image", OpaquePng(20, 20)}, {"Scaler", Int(4)}, {"ScaleCx", Int(150)}, {"ScaleCy", Int(120)},
                     {"Props", Int(5)}};
    t.control.ReadProperties();
    EXPECT_EQ(t.control.ScaledWidth(), 150);
    EXPECT_EQ(t.control.ScaledHeight(), 120);
    Host host(100, 80);
    host.Paint(t.control, {0, 0, 100, 80});
    EXPECT_FALSE(host.Untouched()) << "nothing drawn";
    t.control.WriteProperties();
    EXPECT_EQ(*t.site.ReadProperty("ScaleCx"), Int(150));
}

TEST(ControlPersistence, DesignModeKeepsTheSourceBytes) {
    const Bytes png = AlphaPng(12, 12);
    TestControl design(100, 100, false);
    design.site.stored = {{"Image", png}};
    design.control.ReadProperties();
    design.control.WriteProperties();
    EXPECT_EQ(*design.site.ReadProperty("Image"), PropertyValue(png));

    // At run time a PNG without kept bytes has nothing to save.
    TestControl run;
    run.site.stored = {{"Image", png}};
    run.control.ReadProperties();
    EXPECT_EQ(run.control.ImageType(), imgPNG);
    run.control.WriteProperties();
    EXPECT_EQ(*run.site.ReadProperty("Image"), PropertyValue(Bytes{}));
}

}  // namespace
