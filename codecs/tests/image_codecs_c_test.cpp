// The C interface hands the C++ entry's answers through and checks what C
// callers can get wrong: option values, null places, freeing.
#include "mendlow/image_codecs_c.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/tests/png_builder.h"

namespace {

// 1 x 2 RGBA: opaque red over half-transparent blue.
test_png::Bytes RedOverBluePng() {
    const test_png::Bytes samples = {255, 0, 0, 255, 0, 0, 255, 128};
    return test_png::Builder().Header(1, 2, 8, 6).Data(test_png::Plain(samples, 1, 2, 4)).End();
}

TEST(ImageCodecsC, DecodesIntoTheBufferWithTheDefaultsAndFillsTheResult) {
    mendlow_decode_options defaults;
    mendlow_default_decode_options(&defaults);
    EXPECT_EQ(defaults.channels, MENDLOW_CHANNELS_RGBA);
    EXPECT_EQ(defaults.rows, MENDLOW_ROWS_TOP_DOWN);
    EXPECT_EQ(defaults.max_pixels, MENDLOW_DEFAULT_MAX_PIXELS);
    EXPECT_EQ(defaults.check_checksums, 1);

    const test_png::Bytes png = RedOverBluePng();
    std::vector<uint8_t> pixels(8);
    mendlow_result result{};
    ASSERT_EQ(mendlow_decode_image_into(png.data(), png.size(), nullptr, pixels.data(), 8, 4, &result),
              MENDLOW_STATUS_OK);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{255, 0, 0, 255, 0, 0, 255, 128}));
    EXPECT_EQ(result.status, MENDLOW_STATUS_OK);
    EXPECT_STREQ(result.message, "");
    EXPECT_EQ(result.info.width, 1);
    EXPECT_EQ(result.info.height, 2);
    EXPECT_EQ(result.info.format, MENDLOW_FORMAT_PNG);
    EXPECT_EQ(result.info.has_alpha, 1);
}

TEST(ImageCodecsC, AllocatesInTheAskedLayoutAndFreesWithItsOwnCall) {
    const test_png::Bytes png = RedOverBluePng();
    mendlow_decode_options options;
    mendlow_default_decode_options(&options);
    options.channels = MENDLOW_CHANNELS_BGRA;
    options.rows = MENDLOW_ROWS_BOTTOM_UP;
    uint8_t* pixels = nullptr;
    size_t stride = 0;
    ASSERT_EQ(mendlow_decode_image(png.data(), png.size(), &options, &pixels, &stride, nullptr), MENDLOW_STATUS_OK);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(stride, 4u);
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 8), (std::vector<uint8_t>{255, 0, 0, 128, 0, 0, 255, 255}));
    mendlow_free_pixels(pixels);

    options.max_pixels = 1;
    mendlow_result result{};
    EXPECT_EQ(mendlow_decode_image(png.data(), png.size(), &options, &pixels, &stride, &result),
              MENDLOW_STATUS_TOO_LARGE);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(stride, 0u);
    EXPECT_EQ(result.info.height, 2);  // the headers were read
}

TEST(ImageCodecsC, AnswersInvalidArgumentForValuesAndPlacesCallersGetWrong) {
    const test_png::Bytes png = RedOverBluePng();
    std::vector<uint8_t> pixels(8);
    uint8_t* allocated = nullptr;
    size_t stride = 0;
    mendlow_decode_options options;
    for (int32_t mendlow_decode_options::*field : {&mendlow_decode_options::channels, &mendlow_decode_options::alpha,
                                                   &mendlow_decode_options::rows,
                                                   &mendlow_decode_options::check_checksums}) {
        mendlow_default_decode_options(&options);
        options.*field = 2;
        mendlow_result result{};
        EXPECT_EQ(mendlow_decode_image_into(png.data(), png.size(), &options, pixels.data(), 8, 4, &result),
                  MENDLOW_STATUS_INVALID_ARGUMENT);
        EXPECT_STREQ(result.message, "an option has no such value");
        EXPECT_EQ(mendlow_decode_image(png.data(), png.size(), &options, &allocated, &stride, nullptr),
                  MENDLOW_STATUS_INVALID_ARGUMENT);
    }
    EXPECT_EQ(mendlow_decode_image_into(png.data(), png.size(), nullptr, nullptr, 8, 4, nullptr),
              MENDLOW_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(mendlow_decode_image(png.data(), png.size(), nullptr, nullptr, &stride, nullptr),
              MENDLOW_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(mendlow_read_image_info(nullptr, 0, nullptr), MENDLOW_STATUS_INVALID_ARGUMENT);
}

TEST(ImageCodecsC, ReadsInfoAndNamesStatuses) {
    const test_png::Bytes png = RedOverBluePng();
    mendlow_result result{};
    EXPECT_EQ(mendlow_read_image_info(png.data(), png.size(), &result), MENDLOW_STATUS_OK);
    EXPECT_EQ(result.info.height, 2);
    EXPECT_EQ(mendlow_read_image_info(png.data() + 1, png.size() - 1, &result), MENDLOW_STATUS_NOT_A_PICTURE);
    EXPECT_EQ(result.info.width, 0);
    EXPECT_STREQ(mendlow_status_text(MENDLOW_STATUS_CHECKSUM_MISMATCH), "checksum mismatch");
    EXPECT_STREQ(mendlow_status_text(99), "unknown status");
}

}  // namespace
