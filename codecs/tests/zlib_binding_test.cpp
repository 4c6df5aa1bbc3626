#include "codecs/zlib_binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/modParsers.h"

namespace {

std::vector<uint8_t> SampleData() {
    std::vector<uint8_t> data(20000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>((i * i) % 251);
    return data;
}

TEST(ZlibBinding, CompressesInflatesAndChecksums) {
    ZlibBinding zlib;
    ASSERT_TRUE(zlib.IsAvailable());
    const uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(zlib.Crc32(0, iend, 4), 0xAE426082u);  // the CRC every PNG ends with

    std::vector<uint8_t> data = SampleData();
    for (bool level9 : {false, true}) {
        if (level9 && !zlib.HasCompress2()) continue;
        std::vector<uint8_t> packed(data.size() + 1000);
        uint32_t packedSize = static_cast<uint32_t>(packed.size());
        int status = level9 ? zlib.Compress2(packed.data(), packedSize, data.data(), 20000, 9)
                            : zlib.Compress(packed.data(), packedSize, data.data(), 20000);
        ASSERT_EQ(status, 0);
        ASSERT_LT(packedSize, data.size());

        std::vector<uint8_t> unpacked(data.size());
        uint32_t unpackedSize = static_cast<uint32_t>(unpacked.size());
        ASSERT_EQ(zlib.Uncompress(unpacked.data(), unpackedSize, packed.data(), packedSize), 0);
        EXPECT_EQ(unpackedSize, data.size());
        EXPECT_EQ(unpacked, data);

        uint32_t tooSmall = 100;
        EXPECT_NE(zlib.Uncompress(unpacked.data(), tooSmall, packed.data(), packedSize), 0);
    }
}

TEST(ZlibBinding, SwitchedOffEveryCallReadsAsFailure) {
    modParsers::SetZlibDisabled(true);
    ZlibBinding zlib;
    std::string name;
    int32_t which = 5;
    bool isCdecl = false, hasCompress2 = true;
    EXPECT_FALSE(modParsers::ZlibAvailable(name, which, isCdecl, hasCompress2, false));
    modParsers::SetZlibDisabled(false);

    EXPECT_FALSE(zlib.IsAvailable());
    EXPECT_EQ(which, 0);
    EXPECT_EQ(name, "zlib.dll");
    EXPECT_FALSE(hasCompress2);
    std::vector<uint8_t> data = SampleData(), out(30000);
    uint32_t size = static_cast<uint32_t>(out.size());
    EXPECT_EQ(zlib.Crc32(0, data.data(), 100), 0u);
    EXPECT_NE(zlib.Compress(out.data(), size, data.data(), 100), 0);
    EXPECT_NE(zlib.Compress2(out.data(), size, data.data(), 100, 9), 0);
    EXPECT_NE(zlib.Uncompress(out.data(), size, data.data(), 100), 0);
}

TEST(ZlibBinding, PresenceOnlyLeavesTheConventionAlone) {
    std::string name;
    int32_t which = 0;
    bool isCdecl = false, hasCompress2 = false;
    EXPECT_TRUE(modParsers::ZlibAvailable(name, which, isCdecl, hasCompress2, true));
    EXPECT_FALSE(isCdecl);
    EXPECT_EQ(name, "zlib1.dll");
    EXPECT_EQ(which, 2);
    isCdecl = true;
    modParsers::ZlibAvailable(name, which, isCdecl, hasCompress2, true);
    EXPECT_TRUE(isCdecl);
}

}  // namespace
