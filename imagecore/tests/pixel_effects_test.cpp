// Inversion, colour keying and the checkerboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "imagecore/c32bppDIB.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

TEST(PixelEffects, NothingHappensWithoutAnImage) {
    c32bppDIB image;
    EXPECT_FALSE(image.MakeImageInverse());
    EXPECT_FALSE(image.MakeTransparent(0));
    EXPECT_FALSE(image.MakeTransparent(0, true));
    EXPECT_FALSE(image.CreateCheckerBoard(8, 0, 0xFFFFFF));
    EXPECT_EQ(image.ImageType(), imgBlank);
}

TEST(MakeImageInverse, InvertsPremultipliedColoursOfVisiblePixels) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(4, 1));
    Put(image, 0, 0, {10, 20, 30, 255});
    Put(image, 1, 0, {10, 0, 100, 100});
    Put(image, 2, 0, {0, 0, 0, 0});
    Put(image, 3, 0, {200, 0, 0, 100});  // not premultiplied: that colour has no inverse
    EXPECT_TRUE(image.MakeImageInverse());
    EXPECT_EQ(At(image, 0, 0), (Bgra{245, 235, 225, 255}));
    EXPECT_EQ(At(image, 1, 0), (Bgra{90, 100, 0, 100}));
    EXPECT_EQ(At(image, 2, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(At(image, 3, 0), (Bgra{200, 100, 100, 100}));
    EXPECT_TRUE(image.MakeImageInverse());  // twice is the original
    EXPECT_EQ(At(image, 1, 0), (Bgra{10, 0, 100, 100}));
}

TEST(MakeTransparent, KeysOpaquePixelsOfTheColourAndReverts) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    const int32_t magenta = 0xFF00FF, teal = 0x808000;  // 0x00BBGGRR
    Put(image, 0, 0, {255, 0, 255, 255});
    Put(image, 1, 0, {0, 128, 0, 255});
    Put(image, 0, 1, {0x80, 0x80, 0, 255});
    Put(image, 1, 1, {255, 0, 255, 254});  // not opaque: not the key
    image.SetAlpha(false);
    image.SetImageType(imgBitmap);

    EXPECT_TRUE(image.MakeTransparent(0x123456));  // occurs nowhere
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgBitmap);

    EXPECT_TRUE(image.MakeTransparent(magenta));
    EXPECT_EQ(At(image, 0, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(At(image, 1, 1), (Bgra{255, 0, 255, 254}));
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgBitmapPremultiplied);

    // Reverting to another colour fills the holes with it; a partial pixel
    // keeps the image an alpha image.
    EXPECT_TRUE(image.MakeTransparent(teal, true));
    EXPECT_EQ(At(image, 0, 0), (Bgra{0x80, 0x80, 0, 255}));
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgBitmapPremultiplied);

    // Without partial pixels, reverting leaves an opaque bitmap.
    Put(image, 1, 1, {1, 2, 3, 255});
    EXPECT_TRUE(image.MakeTransparent(teal));
    EXPECT_EQ(At(image, 0, 1), (Bgra{0, 0, 0, 0}));
    EXPECT_TRUE(image.MakeTransparent(teal, true));
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgBitmap);

    image.SetImageType(imgBitmapAlpha);
    EXPECT_TRUE(image.MakeTransparent(teal, true));
    EXPECT_EQ(image.ImageType(), imgBitmap);
    image.SetImageType(imgPNG);  // other kinds keep their type
    EXPECT_TRUE(image.MakeTransparent(teal, true));
    EXPECT_EQ(image.ImageType(), imgPNG);
}

TEST(CreateCheckerBoard, SquaresAlternateWithACutOffLastColumnAndRow) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(5, 3));
    image.SetAlpha(true);
    const Bgra first{0x30, 0x20, 0x10, 255}, second{0xCC, 0xBB, 0xAA, 255};
    EXPECT_TRUE(image.CreateCheckerBoard(2, 0x302010, 0xCCBBAA));
    const char* expected[3] = {"aabba", "aabba", "bbaab"};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(At(image, x, y), expected[y][x] == 'a' ? first : second) << x << "," << y;
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgCheckerBoard);
    EXPECT_EQ(image.Width(), 5);

    // A size below 1 counts as 1; a size beyond the image gives one square.
    for (int32_t size : {0, -5}) {
        EXPECT_TRUE(image.CreateCheckerBoard(size, 0x302010, 0xCCBBAA));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(At(image, x, y), (x + y) % 2 ? second : first) << x << "," << y;
    }
    EXPECT_TRUE(image.CreateCheckerBoard(INT32_MAX, 0x302010, 0xCCBBAA));
    EXPECT_EQ(At(image, 4, 2), first);
}

}  // namespace
