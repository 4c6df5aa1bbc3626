// Which way Render draws onto a device context under Wine: AlphaBlend, the
// GDI+ bridge or the own engine, seen in what lands on the target.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "codecs/gdiplus_availability.h"
#include "codecs/win32/cGDIPlus.h"
#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

using Bgr = std::array<uint8_t, 3>;

void Fill(c32bppDIB& image, Bgra value) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) Put(image, x, y, value);
}

// A 32-bit DIB section selected into a memory DC.
struct Canvas {
    c32bppDIB image;
    HDC dc = nullptr;
    Canvas(int width, int height, Bgra fill) {
        image.InitializeDIB(width, height);
        Fill(image, fill);
        dc = image.LoadDIBinDC(true);
    }
    Bgra At(int x, int y) {
        GdiFlush();
        return ::At(image, x, y);
    }
    std::vector<Bgr> Colours() {
        GdiFlush();
        std::vector<Bgr> colours;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                Bgra p = ::At(image, x, y);
                colours.push_back({p[0], p[1], p[2]});
            }
        return colours;
    }
};

// Two opaque pixels, blue 0 and blue 200.
void TwoPixels(c32bppDIB& image) {
    ASSERT_TRUE(image.InitializeDIB(2, 1));
    Put(image, 0, 0, {0, 10, 20, 255});
    Put(image, 1, 0, {200, 10, 20, 255});
    image.SetAlpha(false);
}

class GdiplusSwitchedOff {
public:
    GdiplusSwitchedOff() { gdiplus::SetDisabled(true); }
    ~GdiplusSwitchedOff() { gdiplus::SetDisabled(false); }
};

const Bgra kWhite{255, 255, 255, 255};

TEST(RenderPaths, AGdiplusTokenSendsEvenPlainDrawingThroughGdiplus) {
    c32bppDIB image;
    ASSERT_TRUE(image.isGDIplusEnabled());
    ASSERT_TRUE(image.isAlphaBlendFriendly());
    TwoPixels(image);
    cGDIPlus gdip;
    uintptr_t token = 0;
    ASSERT_TRUE(gdip.isGDIplusOk(token, true));
    image.SetGdiToken(token);

    Canvas drawn(2, 1, kWhite);
    ASSERT_TRUE(image.Render(drawn.dc, 0, 0, 2, 1));
    EXPECT_EQ(drawn.At(1, 0)[0], 200);
    {
        // With the bridge refusing, a draw that went through it reports false
        // and leaves the target alone.
        GdiplusSwitchedOff off;
        Canvas refused(2, 1, kWhite);
        EXPECT_FALSE(image.Render(refused.dc, 0, 0, 2, 1));
        EXPECT_EQ(refused.At(1, 0), kWhite);

        // Without the token the same plain draw goes to AlphaBlend.
        image.SetGdiToken(0);
        Canvas blended(2, 1, kWhite);
        EXPECT_TRUE(image.Render(blended.dc, 0, 0, 2, 1));
        EXPECT_EQ(blended.At(1, 0)[0], 200);
        // Grey-scale, lightness, mirroring and interpolated stretching are
        // never AlphaBlend's: with GDI+ enabled they go to the bridge.
        Canvas other(4, 1, kWhite);
        EXPECT_FALSE(image.Render(other.dc, 0, 0, 2, 1, 0, 0, 0, 0, 100, true, true, nullptr, 0));
        EXPECT_FALSE(image.Render(other.dc, 0, 0, 2, 1, 0, 0, 0, 0, 100, true, true, nullptr, -1, 10));
        EXPECT_FALSE(image.Render(other.dc, 0, 0, -2, 1));
        EXPECT_FALSE(image.Render(other.dc, 0, 0, 4, 1));
        EXPECT_EQ(other.At(0, 0), kWhite);
        // A stretch without interpolation is AlphaBlend's.
        image.SetHighQualityInterpolation(false);
        EXPECT_TRUE(image.Render(other.dc, 0, 0, 4, 1));
        EXPECT_EQ(other.At(1, 0)[0], 0);
        EXPECT_EQ(other.At(2, 0)[0], 200);
    }
    gdip.StartOrStopGDIplus(token, true);
}

TEST(RenderPaths, WithoutGdiplusAnInterpolatedStretchIsTheOwnEngines) {
    c32bppDIB image;
    image.SetIsGDIplusEnabled(false);
    ASSERT_TRUE(image.isAlphaBlendFriendly());
    image.SetHighQualityInterpolation(true);
    TwoPixels(image);
    Canvas canvas(4, 1, kWhite);
    ASSERT_TRUE(image.Render(canvas.dc, 0, 0, 4, 1));
    // Source column 0, their mean, column 1, column 1.
    EXPECT_EQ(canvas.Colours(), (std::vector<Bgr>{{0, 10, 20}, {100, 10, 20}, {200, 10, 20}, {200, 10, 20}}));
}

TEST(RenderPaths, TheOwnEngineOnADcMatchesItsResultInAHostImage) {
    struct Case {
        const char* name;
        int destX, destY, destWidth, destHeight, srcX, srcY, srcWidth, srcHeight, opacity, grey;
        float light, angle;
        bool interpolate;
    };
    const Case cases[] = {
        {"plain", 1, 2, 0, 0, 0, 0, 0, 0, 100, -1, 0, 0, false},
        {"cut at the left and top", -2, -1, 0, 0, 0, 0, 0, 0, 100, -1, 0, 0, false},
        {"half opacity", 0, 0, 0, 0, 0, 0, 0, 0, 50, -1, 0, 0, false},
        {"grey and lighter", 0, 0, 0, 0, 1, 1, 4, 3, 100, 2, 30, 0, false},
        {"stretched, interpolated", 0, 0, 11, 7, 0, 0, 0, 0, 100, -1, 0, 0, true},
        {"stretched, nearest", -3, 0, 13, 5, 1, 0, 4, 4, 80, -1, 0, 0, false},
        {"mirrored", 2, 1, -6, -5, 0, 0, 0, 0, 100, -1, -40, 0, false},
        {"turned", 0, 0, 0, 0, 0, 0, 0, 0, 100, -1, 0, 30, true},
    };
    for (const Case& c : cases) {
        c32bppDIB image(capability::kGdiplusNever);  // own engine only, on both targets
        ASSERT_TRUE(image.InitializeDIB(6, 5));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const uint8_t a = static_cast<uint8_t>(x == 0 ? 0 : 120 + 27 * y);
                Put(image, x, y, {uint8_t(a * x / 6), uint8_t(a * y / 5), uint8_t(a / 2), a});
            }
        image.SetHighQualityInterpolation(c.interpolate);
        const Bgra background{30, 90, 150, 255};
        Canvas canvas(14, 12, background);
        c32bppDIB host;
        ASSERT_TRUE(host.InitializeDIB(14, 12));
        Fill(host, background);
        auto render = [&](HDC dc, c32bppDIB* target) {
            return image.Render(dc, c.destX, c.destY, c.destWidth, c.destHeight, c.srcX, c.srcY, c.srcWidth,
                                c.srcHeight, c.opacity, true, true, target, c.grey, c.light, c.angle);
        };
        ASSERT_TRUE(render(canvas.dc, nullptr)) << c.name;
        ASSERT_TRUE(render(nullptr, &host)) << c.name;
        Canvas expected(14, 12, background);
        Fill(expected.image, background);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 14; ++x) {
                Bgra p = At(host, x, y);
                Put(expected.image, x, y, {p[0], p[1], p[2], 255});
            }
        EXPECT_EQ(canvas.Colours(), expected.Colours()) << c.name;
    }
}

TEST(RenderPaths, TurningGoesThroughGdiplusFirstAndFallsBackToTheOwnEngine) {
    c32bppDIB image;
    ASSERT_TRUE(image.isGDIplusEnabled());
    image.SetHighQualityInterpolation(false);
    ASSERT_TRUE(image.InitializeDIB(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) Put(image, x, y, {uint8_t(40 * x), uint8_t(80 * y), 50, 255});

    c32bppDIB engineOnly(capability::kGdiplusNever);
    ASSERT_TRUE(engineOnly.InitializeDIB(5, 3));
    std::copy_n(image.BitsPointer(), 5 * 3 * 4, engineOnly.BitsPointer());
    Canvas own(9, 9, kWhite);
    ASSERT_TRUE(engineOnly.Render(own.dc, 2, 3, 0, 0, 0, 0, 0, 0, 100, true, true, nullptr, -1, 0, 37));

    Canvas bridge(9, 9, kWhite);
    ASSERT_TRUE(image.Render(bridge.dc, 2, 3, 0, 0, 0, 0, 0, 0, 100, true, true, nullptr, -1, 0, 37));
    EXPECT_NE(bridge.Colours(), own.Colours());  // GDI+ turns about another centre and samples otherwise

    GdiplusSwitchedOff off;
    Canvas fallback(9, 9, kWhite);
    ASSERT_TRUE(image.Render(fallback.dc, 2, 3, 0, 0, 0, 0, 0, 0, 100, true, true, nullptr, -1, 0, 37));
    EXPECT_EQ(fallback.Colours(), own.Colours());
}

}  // namespace
