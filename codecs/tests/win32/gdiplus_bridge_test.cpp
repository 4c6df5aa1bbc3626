// The GDI+ bridge under Wine, which provides GDI+.
#include "codecs/win32/cGDIPlus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "codecs/gdiplus_availability.h"
#include "imagecore/c32bppDIB.h"

namespace {

struct Bgra {
    uint8_t b, g, r, a;
    bool operator==(const Bgra&) const = default;
};

void PrintTo(const Bgra& p, std::ostream* os) { *os << "(" << +p.b << "," << +p.g << "," << +p.r << "," << +p.a << ")"; }

Bgra At(const c32bppDIB& image, int x, int y) {
    const uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

void Put(c32bppDIB& image, int x, int y, Bgra value) {
    uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
    p[0] = value.b, p[1] = value.g, p[2] = value.r, p[3] = value.a;
}

// 3 x 2, every pixel different: top row red, green, blue; bottom row grey, white, yellow.
void MakeSample(c32bppDIB& image) {
    ASSERT_TRUE(image.InitializeDIB(3, 2));
    Put(image, 0, 0, {0, 0, 255, 255});
    Put(image, 1, 0, {0, 255, 0, 255});
    Put(image, 2, 0, {255, 0, 0, 255});
    Put(image, 0, 1, {128, 128, 128, 255});
    Put(image, 1, 1, {255, 255, 255, 255});
    Put(image, 2, 1, {0, 255, 255, 255});
    image.SetAlpha(false);
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

void ExpectSamePixels(const c32bppDIB& a, const c32bppDIB& b) {
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) EXPECT_EQ(At(a, x, y), At(b, x, y)) << x << "," << y;
}

// A 32-bit DIB section to draw into, filled with one colour.
struct Canvas {
    c32bppDIB image;
    HDC dc = nullptr;
    Canvas(int width, int height, Bgra fill) {
        image.InitializeDIB(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Put(image, x, y, fill);
        dc = image.LoadDIBinDC(true);
    }
    Bgra At(int x, int y) {
        GdiFlush();
        return ::At(image, x, y);
    }
};

TEST(GdiplusBridge, StartsAndStops) {
    cGDIPlus gdip;
    uintptr_t token = 0;
    ASSERT_TRUE(gdip.isGDIplusOk(token, true));
    EXPECT_NE(token, 0u);
    EXPECT_FALSE(gdip.StartOrStopGDIplus(token, true));
    EXPECT_NE(token, 0u);  // a shut-down leaves the variable alone
    c32bppDIB image;
    EXPECT_TRUE(image.isGDIplusEnabled());
    EXPECT_TRUE(image.HighQualityInterpolation());
}

TEST(GdiplusBridge, SavedPngIsUprightWithTheSamePixels) {
    c32bppDIB sample;
    MakeSample(sample);
    cGDIPlus gdip;
    std::vector<uint8_t> png;
    ASSERT_TRUE(gdip.SaveToPNG(L"", png, sample, 0));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');

    c32bppDIB fromBytes;
    ASSERT_TRUE(gdip.LoadThroughGDIplus(L"", png, fromBytes, 0));
    EXPECT_EQ(fromBytes.ImageType(), imgPNG);
    EXPECT_FALSE(fromBytes.Alpha());
    ExpectSamePixels(fromBytes, sample);

    std::wstring file = TempFile(L"mendlow-\u00E9t\u00E9.png");
    ASSERT_TRUE(gdip.SaveToPNG(file, png, sample, 0));
    c32bppDIB fromFile;
    ASSERT_TRUE(gdip.LoadThroughGDIplus(file, {}, fromFile, 0));
    ExpectSamePixels(fromFile, sample);
    DeleteFileW(file.c_str());

    c32bppDIB empty;
    EXPECT_FALSE(gdip.SaveToPNG(L"", png, empty, 0));
}

TEST(GdiplusBridge, LoadsJpegAndBmpByFileAndByBytesAlike) {
    c32bppDIB sample;
    MakeSample(sample);
    cGDIPlus gdip;
    for (const wchar_t* mime : {L"image/jpeg", L"image/bmp"}) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(gdip.SaveThroughGDIplus(mime, L"", bytes, sample, 0)) << mime;
        std::wstring file = TempFile(L"mendlow-sample.img");
        FILE* out = _wfopen(file.c_str(), L"wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);

        c32bppDIB fromBytes, fromFile;
        ASSERT_TRUE(gdip.LoadThroughGDIplus(L"", bytes, fromBytes, 0)) << mime;
        ASSERT_TRUE(gdip.LoadThroughGDIplus(file, {}, fromFile, 0)) << mime;
        DeleteFileW(file.c_str());
        EXPECT_EQ(fromBytes.ImageType(), imgPNG);
        EXPECT_FALSE(fromBytes.Alpha());
        ExpectSamePixels(fromBytes, fromFile);
    }
}

TEST(GdiplusBridge, LoadKeepsAlphaAsTheAnalysisFindsIt) {
    c32bppDIB sample;
    MakeSample(sample);
    Put(sample, 0, 0, {0, 0, 128, 128});  // half-transparent red, premultiplied
    Put(sample, 1, 0, {0, 0, 0, 0});
    cGDIPlus gdip;
    std::vector<uint8_t> png;
    ASSERT_TRUE(gdip.SaveToPNG(L"", png, sample, 0));
    c32bppDIB loaded;
    ASSERT_TRUE(gdip.LoadThroughGDIplus(L"", png, loaded, 0));
    EXPECT_TRUE(loaded.Alpha());
    EXPECT_EQ(At(loaded, 1, 0).a, 0);
    EXPECT_EQ(At(loaded, 0, 0).a, 128);

    const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    c32bppDIB failed;
    EXPECT_FALSE(gdip.LoadThroughGDIplus(L"", junk, failed, 0));
    EXPECT_EQ(failed.Handle(), 0u);
    EXPECT_FALSE(gdip.LoadThroughGDIplus(L"", {}, failed, 0));
}

TEST(GdiplusBridge, NegativeSizesMirror) {
    c32bppDIB sample;
    MakeSample(sample);
    cGDIPlus gdip;
    struct Case {
        int w, h;
        int fromX(int x) const { return w < 0 ? 2 - x : x; }
        int fromY(int y) const { return h < 0 ? 1 - y : y; }
    };
    for (Case c : {Case{3, 2}, Case{-3, 2}, Case{3, -2}, Case{-3, -2}}) {
        Canvas canvas(3, 2, {0, 0, 0, 255});
        ASSERT_TRUE(gdip.DrawThroughGDIplus(sample, canvas.dc, 0, 100, 0, 0, c.w, c.h, 0, 0, 3, 2, false, -1, 0, 0));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(canvas.At(x, y), At(sample, c.fromX(x), c.fromY(y))) << c.w << "x" << c.h << " at " << x << "," << y;
    }
}

TEST(GdiplusBridge, OpacityGreyScaleAndLightness) {
    c32bppDIB red;
    ASSERT_TRUE(red.InitializeDIB(4, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) Put(red, x, y, {0, 0, 200, 255});
    cGDIPlus gdip;

    Canvas untouched(4, 4, {10, 20, 30, 255});
    EXPECT_TRUE(gdip.DrawThroughGDIplus(red, untouched.dc, 0, 0, 0, 0, 4, 4, 0, 0, 4, 4, false, -1, 0, 0));
    EXPECT_EQ(untouched.At(1, 1), (Bgra{10, 20, 30, 255}));

    // Half opacity over blue: each channel halfway. GDI+ works in floating
    // point and rounds to 8 bits at least once more than the exact blend,
    // so 2 levels either way is allowed.
    Canvas blend(4, 4, {100, 0, 0, 255});
    ASSERT_TRUE(gdip.DrawThroughGDIplus(red, blend.dc, 0, 50, 0, 0, 4, 4, 0, 0, 4, 4, false, -1, 0, 0));
    Bgra mixed = blend.At(2, 2);
    EXPECT_NEAR(mixed.b, 50, 2);
    EXPECT_NEAR(mixed.g, 0, 2);
    EXPECT_NEAR(mixed.r, 100, 2);

    Canvas grey(4, 4, {0, 0, 0, 255});
    ASSERT_TRUE(gdip.DrawThroughGDIplus(red, grey.dc, 0, 100, 0, 0, 4, 4, 0, 0, 4, 4, false, 0, 0, 0));
    Bgra g = grey.At(1, 2);
    EXPECT_EQ(g.b, g.g);
    EXPECT_EQ(g.g, g.r);
    EXPECT_NEAR(g.r, 200 * 0.299, 2);

    Canvas lighter(4, 4, {0, 0, 0, 255});
    ASSERT_TRUE(gdip.DrawThroughGDIplus(red, lighter.dc, 0, 100, 0, 0, 4, 4, 0, 0, 4, 4, false, -1, 0, 20.0f));
    Bgra l = lighter.At(1, 1);
    EXPECT_NEAR(l.r, 251, 2);
    EXPECT_NEAR(l.b, 51, 2);
}

TEST(GdiplusBridge, RotationTurnsAboutTheCentre) {
    c32bppDIB sample;
    ASSERT_TRUE(sample.InitializeDIB(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) Put(sample, x, y, x < 4 ? Bgra{0, 0, 255, 255} : Bgra{255, 0, 0, 255});
    cGDIPlus gdip;
    // Edge pixels depend on GDI+'s sampling; the inside must be turned.
    for (float angle : {180.0f, 90.0f}) {
        Canvas canvas(8, 8, {0, 0, 0, 255});
        ASSERT_TRUE(gdip.DrawThroughGDIplus(sample, canvas.dc, angle, 100, 0, 0, 8, 8, 0, 0, 8, 8, false, -1, 0, 0));
        if (angle == 180.0f) {
            EXPECT_EQ(canvas.At(1, 3), (Bgra{255, 0, 0, 255}));  // the right half turned to the left
            EXPECT_EQ(canvas.At(6, 4), (Bgra{0, 0, 255, 255}));
        } else {
            EXPECT_EQ(canvas.At(3, 1), (Bgra{0, 0, 255, 255}));  // the left half turned to the top
            EXPECT_EQ(canvas.At(4, 6), (Bgra{255, 0, 0, 255}));
        }
    }
}

TEST(GdiplusBridge, SwitchedOffEverythingReportsFalse) {
    c32bppDIB sample;
    MakeSample(sample);
    gdiplus::SetDisabled(true);
    cGDIPlus gdip;
    uintptr_t token = 0;
    std::vector<uint8_t> png;
    c32bppDIB loaded;
    Canvas canvas(3, 2, {0, 0, 0, 255});
    EXPECT_FALSE(gdip.isGDIplusOk(token, false));
    EXPECT_FALSE(gdip.StartOrStopGDIplus(token, false));
    EXPECT_EQ(token, 0u);
    EXPECT_FALSE(gdip.SaveToPNG(L"", png, sample, 0));
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_FALSE(gdip.LoadThroughGDIplus(L"", bytes, loaded, 0));
    EXPECT_FALSE(gdip.DrawThroughGDIplus(sample, canvas.dc, 0, 100, 0, 0, 3, 2, 0, 0, 3, 2, false, -1, 0, 0));
    EXPECT_FALSE(gdip.DrawThroughGDIplus(sample, canvas.dc, 0, 0, 0, 0, 3, 2, 0, 0, 3, 2, false, -1, 0, 0));
    c32bppDIB probe;
    EXPECT_FALSE(probe.isGDIplusEnabled());
    gdiplus::SetDisabled(false);
}

}  // namespace
