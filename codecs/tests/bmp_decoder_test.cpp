#include <gtest/gtest.h>

#include "codecs/cBMPparser.h"
#include "codecs/tests/bmp_builder.h"
#include "codecs/tests/bmpico_files.h"
#include "imagecore/c32bppDIB.h"

namespace {

using test_bmp::Bytes;
using test_bmp::Info;

// 2 x 2 pixels, BGRA rows as stored: straight alpha 0, 128, 255, 64.
Bytes Straight32(int32_t height) {
    Info info{.width = 2, .height = height, .bitCount = 32};
    return test_bmp::File(test_bmp::InfoHeader(info), {},
                          {200, 100, 50, 0, 200, 100, 50, 128, 10, 20, 30, 255, 40, 80, 120, 64});
}

struct Loaded {
    bool ok = false;
    c32bppDIB image;
};

void Load(const Bytes& file, Loaded& l, int64_t offset = 0, int64_t length = -1) {
    l.ok = cBMPparser().LoadStream(file, l.image, offset, length < 0 ? int64_t(file.size()) - offset : length);
}

TEST(BmpDecoder, ThirtyTwoBitsKeepTheirAlphaPremultiplied) {
    Loaded l;
    Load(Straight32(2), l);
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.image.Alpha());
    EXPECT_EQ(l.image.ImageType(), imgBitmapAlpha);
    const uint8_t* bottom = l.image.Pixels().MemoryRow(0);
    EXPECT_EQ(std::vector<uint8_t>(bottom, bottom + 8), (std::vector<uint8_t>{0, 0, 0, 0, 100, 50, 25, 128}));

    // All alpha bytes 0: an ordinary opaque bitmap.
    Bytes zeroAlpha = Straight32(2);
    for (size_t i = zeroAlpha.size() - 13; i < zeroAlpha.size(); i += 4) zeroAlpha[i] = 0;
    Loaded z;
    Load(zeroAlpha, z);
    ASSERT_TRUE(z.ok);
    EXPECT_FALSE(z.image.Alpha());
    EXPECT_EQ(z.image.ImageType(), imgBitmap);
    EXPECT_EQ(z.image.Pixels().MemoryRow(0)[3], 255);
}

TEST(BmpDecoder, TopDownThirtyTwoBitsComeOutUpright) {
    Loaded up, down;
    Load(Straight32(2), up);
    Bytes flipped = Straight32(-2);
    // Swap the two stored rows so both files hold the same picture.
    std::swap_ranges(flipped.end() - 16, flipped.end() - 8, flipped.end() - 8);
    Load(flipped, down);
    ASSERT_TRUE(up.ok && down.ok);
    EXPECT_EQ(bmpico::TopRowFirst(up.image), bmpico::TopRowFirst(down.image));
}

TEST(BmpDecoder, OtherDepthsAreOpaqueBitmaps) {
    // The same pixels at 32 bits with bit fields: the alpha bytes mean nothing.
    Info info{.width = 2, .height = 2, .bitCount = 32, .compression = 3, .size = 56,
              .masks = {0xFF0000, 0xFF00, 0xFF}};
    Bytes fields = test_bmp::File(test_bmp::InfoHeader(info), {},
                                  {200, 100, 50, 0, 200, 100, 50, 128, 10, 20, 30, 255, 40, 80, 120, 64});
    Loaded l;
    Load(fields, l);
    ASSERT_TRUE(l.ok);
    EXPECT_FALSE(l.image.Alpha());
    EXPECT_EQ(l.image.ImageType(), imgBitmap);
    EXPECT_EQ(bmpico::TopRowFirst(l.image),
              (std::vector<uint8_t>{10, 20, 30, 255, 40, 80, 120, 255, 200, 100, 50, 255, 200, 100, 50, 255}));
}

TEST(BmpDecoder, WindowAndOffsets) {
    Bytes file = bmpico::ReadFile("bmp/bpp8.bmp");
    ASSERT_FALSE(file.empty());
    Loaded plain, shifted;
    Load(file, plain);
    Bytes padded(5, 0xEE);
    test_bmp::Append(padded, file);
    padded.resize(padded.size() + 9, 0xEE);
    Load(padded, shifted, 5, int64_t(file.size()));
    ASSERT_TRUE(plain.ok && shifted.ok);
    EXPECT_EQ(bmpico::TopRowFirst(plain.image), bmpico::TopRowFirst(shifted.image));

    Loaded outside;
    Load(file, outside, 1, int64_t(file.size()));
    EXPECT_FALSE(outside.ok);
    Load(file, outside, -1, 40);
    EXPECT_FALSE(outside.ok);
    Load(file, outside, 0, 33);
    EXPECT_FALSE(outside.ok);
    EXPECT_EQ(outside.image.Handle(), 0u);
}

TEST(BmpDecoder, RejectsWhatItCannotDecode) {
    Bytes good = test_bmp::File(test_bmp::InfoHeader({.width = 3, .height = 2, .bitCount = 24}), {}, Bytes(24, 9));
    auto rejects = [](Bytes file) {
        Loaded l;
        Load(file, l);
        return !l.ok && l.image.Handle() == 0;
    };
    Bytes notBm = good;
    notBm[1] = 'A';
    EXPECT_TRUE(rejects(notBm));
    EXPECT_TRUE(rejects(test_bmp::File(test_bmp::InfoHeader({.width = 0, .height = 2, .bitCount = 24}), {}, Bytes(24))));
    EXPECT_TRUE(rejects(test_bmp::File(test_bmp::InfoHeader({.width = 3, .height = 0, .bitCount = 24}), {}, Bytes(24))));
    // Data one byte short: our decoder refuses it; on Windows the system
    // loader, which reads what is there, may take it instead.
    auto shortIsRefusedOrLoadedWhole = [&](Bytes file, int32_t width, int32_t height) {
        Loaded l;
        Load(file, l);
#ifdef _WIN32
        if (l.ok) return l.image.Width() == width && l.image.Height() == height;
#endif
        (void)width, (void)height;
        return !l.ok && l.image.Handle() == 0;
    };
    EXPECT_TRUE(shortIsRefusedOrLoadedWhole(Bytes(good.begin(), good.end() - 1), 3, 2));
    // JPEG inside a bitmap: only the system loader could read it.
    EXPECT_TRUE(rejects(test_bmp::File(test_bmp::InfoHeader({.width = 3, .height = 2, .bitCount = 0, .compression = 4}),
                                       {}, Bytes(24))));
    // A 32-bit bitmap shorter than its rows, and sizes whose row size overflows.
    Bytes short32 = Straight32(2);
    short32.pop_back();
    EXPECT_TRUE(shortIsRefusedOrLoadedWhole(short32, 2, 2));
    EXPECT_TRUE(rejects(test_bmp::File(test_bmp::InfoHeader({.width = INT32_MAX, .height = 2, .bitCount = 32}), {},
                                       Bytes(64))));
    EXPECT_TRUE(rejects(test_bmp::File(test_bmp::InfoHeader({.width = 70000, .height = -70000, .bitCount = 32}), {},
                                       Bytes(64))));
    // A pixel offset past the end.
    Bytes farOffset = good;
    farOffset[10] = 0xFF, farOffset[11] = 0xFF;
    EXPECT_TRUE(rejects(farOffset));
}

}  // namespace
