// The public decoding entry hands out rows top-down with straight colour.
#include "mendlow/image_codecs.h"

#include <gtest/gtest.h>

#include "codecs/tests/png_builder.h"

namespace {

TEST(DecodeImage, GivesRowsTopDownInStraightColourAndNothingForOtherBytes) {
    // 2 x 3 RGBA: red, then half-transparent blue, then see-through green.
    const test_png::Bytes samples = {255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 128,
                                     0, 0, 255, 128, 0, 255, 0, 0,   0, 255, 0, 0};
    const test_png::Bytes png = test_png::Builder().Header(2, 3, 8, 6).Data(test_png::Plain(samples, 2, 3, 4)).End();
    mendlow::DecodedImage image;
    ASSERT_TRUE(mendlow::DecodeImage(png.data(), png.size(), image));
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 3);
    ASSERT_EQ(image.pixels.size(), 24u);
    const std::vector<uint8_t> red = {0, 0, 255, 255};
    EXPECT_EQ(std::vector<uint8_t>(image.pixels.begin(), image.pixels.begin() + 4), red);
    EXPECT_NEAR(image.pixels[8], 255, 1);  // blue, not multiplied by its alpha
    EXPECT_EQ(image.pixels[11], 128);
    EXPECT_EQ(image.pixels[23], 0);

    EXPECT_FALSE(mendlow::DecodeImage(samples.data(), samples.size(), image));
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(mendlow::DecodeImage(nullptr, 0, image));
}

}  // namespace
