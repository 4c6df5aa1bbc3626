// libpng reads every output of the PNG encoder to the straight colours the
// premultiplied pixels stand for (colours of transparent pixels aside).
#include <gtest/gtest.h>
#include <png.h>

#include "codecs/cPNGwriter.h"
#include "codecs/tests/png_encoder_images.h"

namespace {

using namespace test_encoder;

TEST(PngEncoderWithLibpng, EveryOutputDecodesToTheStraightPixels) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        c32bppDIB image;
        Fill(image, c.width, c.height, c.alpha, c.pixel);
        Bytes png;
        ASSERT_TRUE(cPNGwriter().SavePNG(image, L"", png));

        png_image decoded{};
        decoded.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&decoded, png.data(), png.size())) << decoded.message;
        decoded.format = PNG_FORMAT_RGBA;
        Bytes rgba(PNG_IMAGE_SIZE(decoded));
        ASSERT_TRUE(png_image_finish_read(&decoded, nullptr, rgba.data(), 0, nullptr)) << decoded.message;
        ASSERT_EQ(int(decoded.width), c.width);
        ASSERT_EQ(int(decoded.height), c.height);

        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const Bgra p = c.pixel(x, y);
                const int a = c.alpha ? p.a : 255;
                auto straight = [&](uint8_t v) { return a == 255 ? v : uint8_t(v * 255 / a); };
                const uint8_t* got = &rgba[(size_t(y) * c.width + x) * 4];
                const bool same = got[3] == a && (a == 0 || (got[0] == straight(p.r) && got[1] == straight(p.g) &&
                                                             got[2] == straight(p.b)));
                if (!same && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << int(got[0]) << " " << int(got[1]) << " "
                                  << int(got[2]) << " " << int(got[3]);
            }
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace
