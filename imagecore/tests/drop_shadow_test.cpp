// The drop shadow: a blurred silhouette of the alpha.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "imagecore/c32bppDIB.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

TEST(CreateDropShadow, NothingWithoutAnImage) {
    c32bppDIB image;
    EXPECT_EQ(image.CreateDropShadow(2, 0), nullptr);
}

// The shadow alpha by its definition: the source alpha summed over the
// (d + 1) x (d + 1) window that ends at each shadow pixel, over k.
std::vector<uint32_t> NaiveShadowAlpha(const c32bppDIB& source, int d) {
    const int w = source.Width(), h = source.Height();
    std::vector<uint32_t> alpha(static_cast<size_t>(w + d) * (h + d));
    for (int i = 0; i < h + d; ++i)
        for (int p = 0; p < w + d; ++p) {
            uint32_t sum = 0;
            for (int m = std::max(0, i - d); m <= std::min(i, h - 1); ++m)
                for (int c = std::max(0, p - d); c <= std::min(p, w - 1); ++c)
                    sum += source.Pixels().MemoryRow(m)[c * 4 + 3];
            alpha[static_cast<size_t>(i) * (w + d) + p] = sum / ((d + 1) * (d + 1));
        }
    return alpha;
}

TEST(CreateDropShadow, DepthZeroIsTheAlphaInTheShadowColour) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(3, 2));
    image.SetGdiToken(1234);
    Put(image, 0, 0, {9, 9, 9, 255});
    Put(image, 1, 0, {5, 5, 5, 128});
    Put(image, 2, 1, {1, 1, 1, 1});
    const std::vector<uint8_t> before(image.BitsPointer(), image.BitsPointer() + 24);

    const int32_t colour = 0x4080C0;  // blue 0x40, green 0x80, red 0xC0
    std::unique_ptr<c32bppDIB> shadow = image.CreateDropShadow(0, colour);
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->Width(), 3);
    EXPECT_EQ(shadow->Height(), 2);
    EXPECT_TRUE(shadow->Alpha());
    EXPECT_EQ(shadow->ImageType(), imgBitmapPremultiplied);
    EXPECT_EQ(shadow->gdiToken(), 1234u);
    EXPECT_EQ(At(*shadow, 0, 0), (Bgra{0x40, 0x80, 0xC0, 255}));
    EXPECT_EQ(At(*shadow, 1, 0), (Bgra{0x40 * 128 / 255, 0x80 * 128 / 255, 0xC0 * 128 / 255, 128}));
    EXPECT_EQ(At(*shadow, 2, 1), (Bgra{0, 0, 0, 1}));
    EXPECT_EQ(At(*shadow, 0, 1), (Bgra{0, 0, 0, 0}));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), image.BitsPointer()));  // source unchanged
}

TEST(CreateDropShadow, TheTopLeftPixelSpreadsDownRightAndDepthIsLimitedToTen) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(4, 3));
    Put(image, 0, 0, {255, 255, 255, 255});
    std::unique_ptr<c32bppDIB> shadow = image.CreateDropShadow(1, 0xFFFFFF);
    ASSERT_NE(shadow, nullptr);
    ASSERT_EQ(shadow->Width(), 6);
    ASSERT_EQ(shadow->Height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(At(*shadow, x, y)[3], x <= 2 && y <= 2 ? 255 / 9 : 0) << x << "," << y;

    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) Put(image, x, y, {0, 0, 0, 255});
    shadow = image.CreateDropShadow(25, 0);
    ASSERT_NE(shadow, nullptr);
    ASSERT_EQ(shadow->Width(), 24);
    ASSERT_EQ(shadow->Height(), 23);
    const std::vector<uint32_t> expected = NaiveShadowAlpha(image, 20);
    for (int i = 0; i < 23; ++i)
        for (int p = 0; p < 24; ++p) ASSERT_EQ(shadow->Pixels().MemoryRow(i)[p * 4 + 3], expected[i * 24 + p]);
    EXPECT_EQ(At(*shadow, 10, 10)[3], 255 * 12 / 441);

    shadow = image.CreateDropShadow(-3, 0);  // below 0 acts as 0
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->Width(), 4);
    EXPECT_EQ(At(*shadow, 3, 2)[3], 255);
}

TEST(CreateDropShadow, MatchesTheWindowSumOnRandomAlpha) {
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        const int w = 1 + random() % 25, h = 1 + random() % 25, depth = random() % 12;
        c32bppDIB image;
        ASSERT_TRUE(image.InitializeDIB(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t a = random() % 4 == 0 ? 0 : random() % 2 ? 255 : random() % 256;
                Put(image, x, y, {0, 0, 0, a});
            }
        const int d = 2 * std::min(depth, 10);
        const std::vector<uint32_t> expected = NaiveShadowAlpha(image, d);
        std::unique_ptr<c32bppDIB> shadow = image.CreateDropShadow(depth, 0x102030);
        ASSERT_NE(shadow, nullptr);
        ASSERT_EQ(shadow->Width(), w + d);
        ASSERT_EQ(shadow->Height(), h + d);
        for (int i = 0; i < h + d; ++i)
            for (int p = 0; p < w + d; ++p) {
                const uint8_t* px = shadow->Pixels().MemoryRow(i) + p * 4;
                const uint32_t a = expected[static_cast<size_t>(i) * (w + d) + p];
                ASSERT_EQ(px[3], a) << "round " << round << " row " << i << " column " << p;
                const Bgra colour = a == 255 ? Bgra{0x10, 0x20, 0x30, 255}  // OLE 0x00BBGGRR
                                             : Bgra{static_cast<uint8_t>(0x10 * a / 255),
                                                    static_cast<uint8_t>(0x20 * a / 255),
                                                    static_cast<uint8_t>(0x30 * a / 255), static_cast<uint8_t>(a)};
                ASSERT_EQ((Bgra{px[0], px[1], px[2], px[3]}), colour);
            }
    }
}

}  // namespace
