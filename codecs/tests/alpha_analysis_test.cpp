#include <gtest/gtest.h>

#include <vector>

#include "codecs/modParsers.h"
#include "imagecore/image_types.h"

namespace {

struct Pixels {
    std::vector<uint8_t> bytes;  // blue, green, red, alpha
    int32_t width;

    PixelView View() { return {bytes.data(), width, static_cast<int32_t>(bytes.size() / 4 / width)}; }
};

struct Outcome {
    int32_t imageType;
    bool hasAlpha;
    std::vector<uint8_t> bytes;
};

Outcome Analyse(std::vector<uint8_t> bytes, bool premultiply, int32_t imageTypeIn = imgBlank) {
    Pixels pixels{std::move(bytes), 2};
    bool hasAlpha = true;
    int32_t imageType = imageTypeIn;
    modParsers::ValidateAlphaChannel(pixels.View(), premultiply, hasAlpha, imageType);
    return {imageType, hasAlpha, pixels.bytes};
}

TEST(ValidateAlphaChannel, AllTransparentIsAnOpaqueImageWithColoursKept) {
    Outcome out = Analyse({10, 20, 30, 0, 40, 50, 60, 0}, true);
    EXPECT_EQ(out.imageType, imgBitmap);
    EXPECT_FALSE(out.hasAlpha);
    EXPECT_EQ(out.bytes, (std::vector<uint8_t>{10, 20, 30, 255, 40, 50, 60, 255}));
    EXPECT_EQ(Analyse({10, 20, 30, 0, 40, 50, 60, 0}, false).bytes[3], 0);  // untouched without premultiply
}

TEST(ValidateAlphaChannel, AllOpaqueOrSkippedHasNoAlpha) {
    EXPECT_EQ(Analyse({1, 2, 3, 255, 4, 5, 6, 255}, true).imageType, imgBitmap);
    Outcome skipped = Analyse({200, 0, 0, 100, 0, 0, 0, 0}, true, imgNone);
    EXPECT_EQ(skipped.imageType, imgBitmap);
    EXPECT_FALSE(skipped.hasAlpha);
    EXPECT_EQ(skipped.bytes, (std::vector<uint8_t>{200, 0, 0, 255, 0, 0, 0, 255}));
}

TEST(ValidateAlphaChannel, PremultipliedDataIsLeftAsItIs) {
    std::vector<uint8_t> premultiplied = {0, 0, 0, 0, 50, 60, 100, 100, 1, 2, 3, 255, 0, 0, 0, 0};
    Outcome out = Analyse(premultiplied, true);
    EXPECT_EQ(out.imageType, imgBitmapPremultiplied);
    EXPECT_TRUE(out.hasAlpha);
    EXPECT_EQ(out.bytes, premultiplied);
}

TEST(ValidateAlphaChannel, ColourAboveAlphaMeansStraightAlphaAndRoundsDown) {
    // Found first, the stop still compares the counts with every pixel.
    Outcome out = Analyse({200, 0, 0, 100, 9, 9, 9, 255, 0, 0, 0, 0, 255, 255, 255, 128}, true);
    EXPECT_EQ(out.imageType, imgBitmapAlpha);
    EXPECT_TRUE(out.hasAlpha);
    EXPECT_EQ(out.bytes, (std::vector<uint8_t>{78, 0, 0, 100, 9, 9, 9, 255, 0, 0, 0, 0, 128, 128, 128, 128}));
}

TEST(ValidateAlphaChannel, ColourUnderTransparencyFoundLateMeansStraightAlpha) {
    Outcome out = Analyse({10, 10, 10, 50, 9, 9, 9, 255, 7, 7, 7, 0, 1, 1, 1, 255}, true);
    EXPECT_EQ(out.imageType, imgBitmapAlpha);
    EXPECT_EQ(out.bytes, (std::vector<uint8_t>{1, 1, 1, 50, 9, 9, 9, 255, 0, 0, 0, 0, 1, 1, 1, 255}));
    // Without premultiply the pixels stay.
    EXPECT_EQ(Analyse({10, 10, 10, 50, 9, 9, 9, 255, 7, 7, 7, 0, 1, 1, 1, 255}, false).bytes[0], 10);
}

TEST(ValidateAlphaChannel, ColouredTransparentPixelsAloneStillCountAsTransparent) {
    Outcome out = Analyse({7, 7, 7, 0, 0, 0, 0, 0}, false);
    EXPECT_EQ(out.imageType, imgBitmap);
    EXPECT_FALSE(out.hasAlpha);
}

}  // namespace
