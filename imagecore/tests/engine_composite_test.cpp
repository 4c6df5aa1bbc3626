// Compositing rows against the per-pixel rules, on random pixels that
// include colours above their alpha, for every opacity and both kinds of
// destination.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "imagecore/pixel_engine.h"

namespace {

void NaiveComposite(const uint8_t* s, uint8_t* t, int32_t count, int bytes, int o, const engine::GreyWeights* grey) {
    for (int32_t i = 0; i < count; ++i, s += 4, t += bytes) {
        const int a = s[3];
        int colour[3] = {s[0], s[1], s[2]};
        if (grey) {
            const double g = s[0] * double(grey->blue) + s[1] * double(grey->green) + s[2] * double(grey->red);
            colour[0] = colour[1] = colour[2] = static_cast<int>(std::nearbyint(g));
        }
        int result[4] = {t[0], t[1], t[2], bytes == 4 ? t[3] : 0};
        if (a == 0) continue;
        if (o == 255 && a == 255) {
            for (int c = 0; c < 3; ++c) result[c] = colour[c];
            result[3] = 255;
        } else if (o == 255) {
            for (int c = 0; c < 3; ++c) result[c] = colour[c] + t[c] * (255 - a) / 255;
            if (bytes == 4) result[3] = a + t[3] * (255 - a) / 255;
        } else {
            const int k = 255 - a * o / 255;
            for (int c = 0; c < 3; ++c) result[c] = (t[c] * k + colour[c] * o) / 255;
            if (bytes == 4) result[3] = (t[3] * k + a * o) / 255;
        }
        for (int c = 0; c < bytes; ++c)
            if (result[c] <= 255) t[c] = static_cast<uint8_t>(result[c]);
    }
}

TEST(EngineComposite, RowsFollowThePerPixelRules) {
    std::mt19937 random(7);
    const engine::GreyWeights luma{0.299f, 0.587f, 0.114f};
    for (int round = 0; round < 300; ++round) {
        const int32_t count = 1 + static_cast<int32_t>(random() % 37);
        std::vector<uint8_t> source(size_t(count) * 4);
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t r = random();
            // Mostly valid premultiplied pixels, some opaque, clear or invalid.
            const uint8_t a = r % 5 == 0 ? 255 : r % 7 == 0 ? 0 : static_cast<uint8_t>(r >> 8);
            for (int c = 0; c < 3; ++c)
                source[i * 4 + c] = r % 11 == 0 ? static_cast<uint8_t>(random()) : static_cast<uint8_t>(random() % (a + 1u));
            source[i * 4 + 3] = a;
        }
        const uint32_t opacity = round % 3 == 0 ? 255 : random() % 256;
        const engine::GreyWeights* grey = round % 4 == 1 ? &luma : nullptr;
        for (int bytes : {3, 4}) {
            std::vector<uint8_t> target(size_t(count) * bytes);
            for (uint8_t& b : target) b = static_cast<uint8_t>(random());
            std::vector<uint8_t> expected = target;
            engine::CompositeRow(source.data(), target.data(), count, bytes, opacity, grey);
            NaiveComposite(source.data(), expected.data(), count, bytes, static_cast<int>(opacity), grey);
            ASSERT_EQ(target, expected) << "round " << round << ", " << bytes << " bytes, O " << opacity;
        }
    }
}

TEST(EngineComposite, EveryOpacityAndAlpha) {
    std::mt19937 random(11);
    std::vector<uint8_t> source(256 * 4), target(256 * 4);
    for (uint32_t opacity = 0; opacity < 256; ++opacity) {
        for (int a = 0; a < 256; ++a) {
            for (int c = 0; c < 3; ++c) source[a * 4 + c] = static_cast<uint8_t>(random() % (a + 1u));
            source[a * 4 + 3] = static_cast<uint8_t>(a);
        }
        for (uint8_t& b : target) b = static_cast<uint8_t>(random());
        std::vector<uint8_t> expected = target;
        engine::CompositeRow(source.data(), target.data(), 256, 4, opacity, nullptr);
        NaiveComposite(source.data(), expected.data(), 256, 4, static_cast<int>(opacity), nullptr);
        ASSERT_EQ(target, expected) << "O " << opacity;
    }
}

}  // namespace
