// Addresses travel whole through the zlib binding: data, output and input
// placed above 4 GiB, where a pointer cut to 32 bits would point elsewhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "codecs/zlib_binding.h"

namespace {

struct HighPages {
    explicit HighPages(size_t size)
        : base(static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN,
                                                  PAGE_READWRITE))) {}
    ~HighPages() {
        if (base) VirtualFree(base, 0, MEM_RELEASE);
    }
    bool AboveFourGiB() const { return reinterpret_cast<uintptr_t>(base) > 0xFFFFFFFFu; }
    uint8_t* base;
};

// Only 64-bit programs have such addresses. Left out of the 32-bit build
// rather than skipped: under qemu-i386 the 32-bit program crashed right after
// the skip.
#ifdef _WIN64
TEST(ZlibBinding, BuffersAboveFourGiB) {
    constexpr uint32_t kSize = 1 << 16;
    HighPages pages(3 * kSize);
    ASSERT_NE(pages.base, nullptr);
    if (!pages.AboveFourGiB()) GTEST_SKIP() << "the system placed no memory above 4 GiB";
    uint8_t* data = pages.base;
    uint8_t* packed = data + kSize;
    uint8_t* unpacked = packed + kSize;

    ZlibBinding zlib;
    ASSERT_TRUE(zlib.IsAvailable());
    std::memcpy(data, "IEND", 4);
    EXPECT_EQ(zlib.Crc32(0, data, 4), 0xAE426082u);

    for (uint32_t i = 0; i < kSize; ++i) data[i] = static_cast<uint8_t>((i * 7) ^ (i >> 9));
    uint32_t packedSize = kSize;
    ASSERT_EQ(zlib.Compress2(packed, packedSize, data, kSize, 9), 0);
    uint32_t otherSize = kSize;
    ASSERT_EQ(zlib.Compress(unpacked, otherSize, data, kSize), 0);
    uint32_t unpackedSize = kSize;
    ASSERT_EQ(zlib.Uncompress(unpacked, unpackedSize, packed, packedSize), 0);
    EXPECT_EQ(unpackedSize, kSize);
    EXPECT_EQ(std::memcmp(unpacked, data, kSize), 0);
}
#endif

}  // namespace
