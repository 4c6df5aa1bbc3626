#include "app/ansi_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace app {
namespace {

bool ShiftJisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

size_t Dbcs(std::vector<uint8_t> bytes) { return WholeCharacterPrefixDbcs(bytes, ShiftJisLead); }
size_t Utf8(std::vector<uint8_t> bytes) { return WholeCharacterPrefixUtf8(bytes); }

TEST(WholeCharacterPrefix, DoubleByteCodePage) {
    EXPECT_EQ(Dbcs({'a', 'b'}), 2u);
    EXPECT_EQ(Dbcs({'a', 0x82}), 1u);              // lead byte cut from its trail
    EXPECT_EQ(Dbcs({0x82, 0xA0, 'a'}), 3u);
    EXPECT_EQ(Dbcs({0x82, 0x82, 0x82}), 2u);       // a trail byte that looks like a lead
    EXPECT_EQ(Dbcs({0x82, 0x82, 0x82, 0x82}), 4u);
    EXPECT_EQ(Dbcs({}), 0u);
}

TEST(WholeCharacterPrefix, Utf8) {
    EXPECT_EQ(Utf8({'a', 'b'}), 2u);
    EXPECT_EQ(Utf8({'a', 0xC3}), 1u);
    EXPECT_EQ(Utf8({'a', 0xC3, 0xBC}), 3u);
    EXPECT_EQ(Utf8({'a', 0xE2, 0x82}), 1u);
    EXPECT_EQ(Utf8({0xE2, 0x82, 0xAC}), 3u);
    EXPECT_EQ(Utf8({'a', 0xF0, 0x9F, 0x98}), 1u);
    EXPECT_EQ(Utf8({0xF0, 0x9F, 0x98, 0x80}), 4u);
    EXPECT_EQ(Utf8({0x80, 0x80}), 2u);  // no start byte: left alone
}

}  // namespace
}  // namespace app
