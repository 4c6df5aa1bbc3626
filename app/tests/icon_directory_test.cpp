#include "app/host/icon_directory.h"

#include <gtest/gtest.h>

#include <vector>

namespace host {
namespace {

void Put16(std::vector<uint8_t>& b, uint16_t v) { b.push_back(v & 0xFF); b.push_back(v >> 8); }
void Put32(std::vector<uint8_t>& b, uint32_t v) { Put16(b, v & 0xFFFF); Put16(b, v >> 16); }

struct Entry {
    int size;
    uint16_t planesOrHotX, bitsOrHotY;
    uint32_t length;
};

std::vector<uint8_t> Directory(uint16_t type, const std::vector<Entry>& entries) {
    std::vector<uint8_t> b;
    Put16(b, 0);
    Put16(b, type);
    Put16(b, static_cast<uint16_t>(entries.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
    for (const Entry& e : entries) {
        b.push_back(static_cast<uint8_t>(e.size));
        b.push_back(static_cast<uint8_t>(e.size));
        b.push_back(0);
        b.push_back(0);
        Put16(b, e.planesOrHotX);
        Put16(b, e.bitsOrHotY);
        Put32(b, e.length);
        Put32(b, offset);
        offset += e.length;
    }
    b.resize(offset, 0xAB);
    return b;
}

TEST(IconDirectory, PicksClosestSizeThenDeepest) {
    auto file = Directory(1, {{48, 1, 8, 10}, {16, 1, 4, 10}, {16, 1, 32, 10}, {32, 1, 8, 10}});
    auto slice = FindIconImage(file, false, 16);
    ASSERT_TRUE(slice);
    EXPECT_EQ(slice->offset, 6u + 64 + 20);
    EXPECT_EQ(FindIconImage(file, false, 36)->width, 32);
    EXPECT_EQ(FindIconImage(file, false, 256)->width, 48);
}

TEST(IconDirectory, CursorCarriesItsHotSpotAndSize256) {
    auto file = Directory(2, {{0, 3, 7, 10}});
    auto slice = FindIconImage(file, true, 32);
    ASSERT_TRUE(slice);
    EXPECT_EQ(slice->width, 256);
    EXPECT_EQ(slice->hotspotX, 3);
    EXPECT_EQ(slice->hotspotY, 7);
    EXPECT_FALSE(FindIconImage(file, false, 32));  // not an icon
}

TEST(IconDirectory, RejectsMalformedDirectories) {
    EXPECT_FALSE(FindIconImage({}, false, 16));
    EXPECT_FALSE(FindIconImage(Directory(1, {}), false, 16));
    auto truncated = Directory(1, {{16, 1, 8, 10}});
    truncated.pop_back();
    EXPECT_FALSE(FindIconImage(truncated, false, 16));
    auto hugeLength = Directory(1, {{16, 1, 8, 10}});
    hugeLength[14] = hugeLength[15] = hugeLength[16] = hugeLength[17] = 0xFF;
    EXPECT_FALSE(FindIconImage(hugeLength, false, 16));
    auto cutDirectory = Directory(1, {{16, 1, 8, 10}, {32, 1, 8, 10}});
    cutDirectory.resize(6 + 16 + 8);
    EXPECT_FALSE(FindIconImage(cutDirectory, false, 16));
}

}  // namespace
}  // namespace host
