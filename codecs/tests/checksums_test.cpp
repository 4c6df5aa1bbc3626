// The checksums, vector forms included, against zlib's published values and
// against the portable forms over every length and alignment near the
// vector loops' edges.
#include "codecs/checksums.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Checksums, KnownValuesAndTheVectorFormsAgreeWithThePortableOnes) {
    const std::string text = "123456789";
    const auto* t = reinterpret_cast<const uint8_t*>(text.data());
    EXPECT_EQ(Crc32(0, t, text.size()), 0xCBF43926u);
    EXPECT_EQ(Adler32(1, t, text.size()), 0x091E01DEu);

    std::vector<uint8_t> data(3 * 5552 + 300);
    uint32_t seed = 12345;
    for (auto& byte : data) byte = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 23);
    std::vector<uint8_t> ones(data.size(), 0xFF);  // the largest sums
    for (const auto* bytes : {&data, &ones})
        for (size_t offset : {0, 1, 7})
            for (size_t size = 0; size + offset <= bytes->size(); size += size < 300 ? 1 : 997) {
                const uint8_t* p = bytes->data() + offset;
                ASSERT_EQ(Crc32(0x12345678, p, size), Crc32Portable(0x12345678, p, size)) << size;
                ASSERT_EQ(Adler32(0x00100001, p, size), Adler32Portable(0x00100001, p, size)) << size;
            }
}

}  // namespace
