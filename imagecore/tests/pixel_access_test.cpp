// One pixel and rectangles of pixels exchanged in every layout.
#include <gtest/gtest.h>

#include <cstring>

#include "imagecore/c32bppDIB.h"

namespace {

void Put(c32bppDIB& image, int x, int y, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
    p[0] = b, p[1] = g, p[2] = r, p[3] = a;
}

std::vector<uint8_t> Buffer(const c32bppDIB& image) {
    return {image.BitsPointer(), image.BitsPointer() + image.scanWidth() * image.Height()};
}

// A premultiplied image with opaque, partial and transparent pixels; pixel
// (x, y) is told apart by its colours.
void FillMixed(c32bppDIB& image, int width, int height) {
    ASSERT_TRUE(image.InitializeDIB(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t a = (x + y) % 3 == 0 ? 255 : (x + y) % 3 == 1 ? 200 : 0;
            if (a == 0) continue;
            Put(image, x, y, static_cast<uint8_t>(x * 10 % a), static_cast<uint8_t>(y * 20 % a),
                static_cast<uint8_t>((x + y) * 7 % a), a);
        }
}

TEST(GetPixel, UnpremultipliesTruncatingAndReportsAlpha) {
    c32bppDIB image;
    int32_t alpha = 99;
    EXPECT_EQ(image.GetPixel(0, 0, &alpha), -1);  // no image
    EXPECT_EQ(alpha, 0);

    ASSERT_TRUE(image.InitializeDIB(2, 2));
    Put(image, 1, 0, 64, 32, 16, 128);
    Put(image, 0, 1, 10, 20, 30, 255);
    EXPECT_EQ(image.GetPixel(1, 0, &alpha, false), 127 << 16 | 63 << 8 | 31);
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(image.GetPixel(1, 0, &alpha, true), 64 << 16 | 32 << 8 | 16);
    EXPECT_EQ(image.GetPixel(0, 1, &alpha, false), 10 << 16 | 20 << 8 | 30);
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(image.GetPixel(0, 0, &alpha, false), 0);
    EXPECT_EQ(alpha, 0);

    // Colours above their alpha cannot be un-premultiplied; they saturate.
    Put(image, 1, 1, 200, 0, 0, 100);
    EXPECT_EQ(image.GetPixel(1, 1, nullptr, false), 255 << 16);

    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}}) {
        alpha = 7;
        EXPECT_EQ(image.GetPixel(x, y, &alpha), -1) << x << "," << y;
        EXPECT_EQ(alpha, 0);
    }
}

TEST(GetDIBbits, StoredFormIsTheBufferAndTopDownReversesRows) {
    c32bppDIB image;
    std::vector<uint8_t> out{1, 2, 3};
    EXPECT_FALSE(image.GetDIBbits(out));
    EXPECT_EQ(out.size(), 3u);

    FillMixed(image, 3, 4);
    int32_t rowBytes = 0;
    ASSERT_TRUE(image.GetDIBbits(out, true, true, true, false, true, 0, 0, 0, 0, true, &rowBytes));
    EXPECT_EQ(out, Buffer(image));
    EXPECT_EQ(rowBytes, 12);
    ASSERT_TRUE(image.GetDIBbits(out, false, true, true, false, true, 0, 0, 0, 0, true, &rowBytes));
    EXPECT_EQ(rowBytes, 48);  // one dimension: the whole length

    ASSERT_TRUE(image.GetDIBbits(out, true, true, true, false, false));
    ASSERT_EQ(out.size(), 48u);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(0, std::memcmp(out.data() + row * 12, image.Pixels().PictureRow(row), 12)) << row;
}

TEST(GetDIBbits, TwentyFourBitRgbStraightWordAligned) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(3, 2));
    Put(image, 0, 0, 64, 32, 16, 128);
    Put(image, 1, 0, 1, 2, 3, 255);
    Put(image, 2, 1, 9, 9, 9, 0);  // transparent with colour: straight output is 0

    std::vector<uint8_t> out;
    int32_t rowBytes = 0;
    ASSERT_TRUE(image.GetDIBbits(out, true, false, false, true, false, 0, 0, 0, 0, false, &rowBytes));
    EXPECT_EQ(rowBytes, 12);
    const std::vector<uint8_t> expected = {31, 63, 127, 3, 2, 1, 0, 0, 0, 0, 0, 0,  // top row, RGB, padded
                                           0,  0,  0,   0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(out, expected);

    ASSERT_TRUE(image.GetDIBbits(out, true, true, false, false, true, 0, 0, 0, 0, true, &rowBytes));
    EXPECT_EQ(rowBytes, 9);
    const std::vector<uint8_t> packed = {0, 0, 0, 0, 0, 0, 9, 9, 9,  // bottom row first
                                         64, 32, 16, 1, 2, 3, 0, 0, 0};
    EXPECT_EQ(out, packed);
}

TEST(GetDIBbits, SubRectanglesAreCutAtTheEdges) {
    c32bppDIB image;
    FillMixed(image, 5, 4);
    std::vector<uint8_t> out;
    int32_t rowBytes = 0;
    // From (3, 1) to the edges: 2 x 3 pixels.
    ASSERT_TRUE(image.GetDIBbits(out, true, true, true, false, false, 3, 1, 0, 0, true, &rowBytes));
    EXPECT_EQ(rowBytes, 8);
    ASSERT_EQ(out.size(), 24u);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(0, std::memcmp(out.data() + row * 8, image.Pixels().PictureRow(1 + row) + 12, 8)) << row;

    // Larger than what is left: cut.
    ASSERT_TRUE(image.GetDIBbits(out, true, true, true, false, true, 4, 2, 100, 100, true, &rowBytes));
    EXPECT_EQ(rowBytes, 4);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(0, std::memcmp(out.data(), image.Pixels().PictureRow(3) + 16, 4));  // bottom-up
    EXPECT_EQ(0, std::memcmp(out.data() + 4, image.Pixels().PictureRow(2) + 16, 4));

    // Rectangles that hold no pixel, or negative values, fail and leave the array.
    out.assign(1, 42);
    for (auto [x, y, w, h] : {std::array{-1, 0, 0, 0}, {0, -1, 0, 0}, {5, 0, 0, 0}, {0, 4, 0, 0},
                              {0, 0, -2, 0}, {0, 0, 0, -2}, {INT32_MAX, 0, 1, 1}}) {
        EXPECT_FALSE(image.GetDIBbits(out, true, true, true, false, true, x, y, w, h)) << x << "," << y;
        EXPECT_EQ(out, std::vector<uint8_t>{42});
    }
    // Sizes near the integer limit are cut, not overflowed.
    ASSERT_TRUE(image.GetDIBbits(out, true, true, true, false, true, 1, 1, INT32_MAX, INT32_MAX));
    EXPECT_EQ(out.size(), 4u * 3 * 4);
}

// Every layout that keeps all information gives the image back unchanged.
TEST(SetDIBbits, RoundTripsInEveryLosslessLayout) {
    c32bppDIB image;
    FillMixed(image, 3, 5);
    const std::vector<uint8_t> original = Buffer(image);
    for (int bgr = 0; bgr < 2; ++bgr)
        for (int bottomUp = 0; bottomUp < 2; ++bottomUp)
            for (int twoD = 0; twoD < 2; ++twoD) {
                SCOPED_TRACE(testing::Message() << "bgr " << bgr << " bottomUp " << bottomUp << " 2d " << twoD);
                std::vector<uint8_t> out;
                ASSERT_TRUE(image.GetDIBbits(out, twoD, bgr, true, false, bottomUp));
                image.EraseDIB();
                ASSERT_TRUE(image.SetDIBbits(out, bgr, true, false, bottomUp));
                EXPECT_EQ(Buffer(image), original);
                EXPECT_TRUE(image.Alpha());

                // 24-bit keeps the alpha bytes that are there.
                for (int aligned = 0; aligned < 2; ++aligned) {
                    ASSERT_TRUE(image.GetDIBbits(out, twoD, bgr, false, aligned, bottomUp));
                    EXPECT_EQ(out.size(), aligned ? 5u * 12 : 5u * 9);
                    for (int i = 0; i < 15; ++i) std::memset(image.BitsPointer() + i * 4, 0x11, 3);
                    ASSERT_TRUE(image.SetDIBbits(out, bgr, false, aligned, bottomUp));
                    EXPECT_EQ(Buffer(image), original);
                }
            }
}

TEST(SetDIBbits, SubRectangleRoundTripAndLayoutConversion) {
    c32bppDIB opaque;
    ASSERT_TRUE(opaque.InitializeDIB(6, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) Put(opaque, x, y, x * 40, y * 50, x + y, 255);
    const std::vector<uint8_t> before = Buffer(opaque);

    std::vector<uint8_t> part;
    ASSERT_TRUE(opaque.GetDIBbits(part, false, false, false, true, false, 2, 1, 3, 2, true));
    EXPECT_EQ(part.size(), 2u * 12);
    // Written to the top-left corner in the same layout, those pixels move there.
    ASSERT_TRUE(opaque.SetDIBbits(part, false, false, true, false, 0, 0, 3, 2));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool moved = x < 3 && y < 2;
            const int fromX = moved ? x + 2 : x, fromY = moved ? y + 1 : y;
            EXPECT_EQ(0, std::memcmp(opaque.Pixels().PictureRow(y) + x * 4,
                                     before.data() + ((4 - fromY) * 6 + fromX) * 4, 4))
                << x << "," << y;
        }
    EXPECT_FALSE(opaque.Alpha());

    // A sub-rectangle goes back where it came from; its own rows are enough.
    c32bppDIB image;
    FillMixed(image, 6, 5);
    const std::vector<uint8_t> original = Buffer(image);
    ASSERT_TRUE(image.GetDIBbits(part, true, true, true, false, true, 2, 1, 3, 2, true));
    EXPECT_EQ(part.size(), 2u * 12);
    for (int y = 1; y < 3; ++y) std::memset(image.Pixels().PictureRow(y) + 8, 0, 12);
    ASSERT_TRUE(image.SetDIBbits(part, true, true, false, true, 2, 1, 3, 2));
    EXPECT_EQ(Buffer(image), original);
}

TEST(SetDIBbits, RefusesShortArraysAndBadRectangles) {
    c32bppDIB image;
    const std::vector<uint8_t> bytes(4 * 4 * 4, 255);
    EXPECT_FALSE(image.SetDIBbits(bytes));  // no image

    ASSERT_TRUE(image.InitializeDIB(4, 4));
    EXPECT_FALSE(image.SetDIBbits({}));
    EXPECT_FALSE(image.SetDIBbits(std::span(bytes).first(63)));
    EXPECT_FALSE(image.SetDIBbits(bytes, true, true, false, true, -1, 0));
    EXPECT_FALSE(image.SetDIBbits(bytes, true, true, false, true, 4, 0));
    EXPECT_FALSE(image.SetDIBbits(bytes, true, true, false, true, 0, 0, -1, 1));
    // 24-bit, word-aligned 3-pixel rows need 12 bytes each, the last one too.
    EXPECT_FALSE(image.SetDIBbits(std::span(bytes).first(12 * 4 - 1), true, false, true, true, 0, 0, 3, 0));
    for (int i = 0; i < 64; ++i) ASSERT_EQ(image.BitsPointer()[i], 0) << i;  // nothing written
    EXPECT_TRUE(image.SetDIBbits(std::span(bytes).first(12 * 4), true, false, true, true, 0, 0, 3, 0));
}

TEST(SetDIBbits, AlphaAnalysisPremultipliesStraightDataAndFindsOpaqueImages) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(2, 1));
    image.SetImageType(imgPNG);
    const std::vector<uint8_t> straight = {200, 0, 0, 100, 10, 20, 30, 255};
    ASSERT_TRUE(image.SetDIBbits(straight));
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgPNG);  // the analysis decides Alpha only
    EXPECT_EQ(Buffer(image), (std::vector<uint8_t>{78, 0, 0, 100, 10, 20, 30, 255}));

    const std::vector<uint8_t> rgb = {1, 2, 3, 4, 5, 6};  // 24-bit over transparent pixels
    image.EraseDIB();
    ASSERT_TRUE(image.SetDIBbits(rgb, false, false));
    EXPECT_FALSE(image.Alpha());  // every alpha 0 counts as opaque, and is made so
    EXPECT_EQ(Buffer(image), (std::vector<uint8_t>{3, 2, 1, 255, 6, 5, 4, 255}));
}

}  // namespace
