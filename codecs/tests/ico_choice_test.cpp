#include <gtest/gtest.h>

#include "codecs/ico_directory.h"

namespace {

using ico::Entry;

Entry Image(int32_t size, int32_t bitCount) {
    Entry e;
    e.width = e.height = size;
    e.bitCount = bitCount;
    return e;
}

std::optional<size_t> Choose(const std::vector<Entry>& entries, int32_t size, int32_t depth = 32) {
    return ico::ChooseEntry(entries, size, size, depth);
}

TEST(IconChoice, AnExactFitWinsAtOnce) {
    EXPECT_EQ(Choose({Image(16, 32), Image(32, 32), Image(48, 32)}, 32), 1u);
    EXPECT_EQ(Choose({Image(32, 8), Image(32, 32), Image(32, 4)}, 32, 4), 2u);
}

TEST(IconChoice, OtherwiseTheClosestLargerImage) {
    // 24 from 16 and 32: the smaller one scores negative and is passed over.
    EXPECT_EQ(Choose({Image(16, 32), Image(32, 32)}, 24), 1u);
    // Equal positive scores: the first.
    EXPECT_EQ(Choose({Image(16, 32), Image(48, 32), Image(48, 32)}, 40), 1u);
    // Depth counts too: 32 at 8 bits scores 24, 48 at 32 bits 32.
    EXPECT_EQ(Choose({Image(48, 32), Image(32, 8)}, 32), 1u);
}

TEST(IconChoice, OtherwiseNearestInSizeAndToThirtyTwoBits) {
    // 64 from 16 and 32 only: |2 x (32 - 64) x 2| = 128 beats 192.
    EXPECT_EQ(Choose({Image(16, 32), Image(32, 32)}, 64), 1u);
    // A tie (128 + 0 against |-128 + 24| + 24) goes to the later entry: the second pass walks backwards.
    EXPECT_EQ(Choose({Image(32, 32), Image(32, 8)}, 64), 1u);
    // 64 at 8 bits wanted from 32 at 8 and 16 at 32 bits: |-128| + 24 against |-192 + 24| + 0.
    EXPECT_EQ(Choose({Image(32, 8), Image(16, 32)}, 64, 8), 0u);
}

TEST(IconChoice, UnusableAndTooDeepImages) {
    EXPECT_EQ(Choose({Image(32, 0), Image(16, 32)}, 32), 1u);  // bit count 0: never chosen
    EXPECT_EQ(Choose({Image(32, 0)}, 32), std::nullopt);
    EXPECT_EQ(Choose({Image(200, 24)}, 16), 0u);  // one usable image: always that one
    EXPECT_EQ(Choose({Image(32, 64), Image(16, 32)}, 32), 1u);
    EXPECT_EQ(Choose({Image(32, 64), Image(32, 48)}, 32), 0u);  // nothing qualifies: the first
    EXPECT_EQ(Choose({Image(32, 0), Image(32, 48)}, 32), std::nullopt);
    EXPECT_EQ(Choose({}, 32), std::nullopt);
    // A wanted depth so far off that nothing qualifies, without overflow: the first.
    EXPECT_EQ(ico::ChooseEntry({Image(16, 32), Image(32, 32)}, 32, 32, INT32_MIN), 0u);
}

}  // namespace
