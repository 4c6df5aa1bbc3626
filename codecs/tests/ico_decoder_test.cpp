#include <gtest/gtest.h>

#include "codecs/cICOparser.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/tests/bmp_builder.h"
#include "codecs/tests/bmpico_files.h"
#include "codecs/tests/png_builder.h"
#include "imagecore/c32bppDIB.h"

namespace {

using test_bmp::Bytes;
using test_bmp::IconImage;

// A 2 x 2 32-bit image from BGRA pixels, rows bottom-up; an all-clear mask.
IconImage Alpha2x2(const Bytes& bgra) {
    return {2, 2, 1, 32, test_bmp::IconBitmap(2, 2, 32, {}, bgra, Bytes(8, 0))};
}

// A 2 x 2 8-bit image of palette colours 1 to 4 with the given AND mask rows (bottom-up).
IconImage Masked2x2(uint8_t bottomMask, uint8_t topMask) {
    std::vector<uint32_t> colours(256, 0);
    colours[1] = 0x000044;
    Bytes table = test_bmp::Quads(colours);
    Bytes colour = test_bmp::PaddedRows({{1, 1}, {1, 1}});
    Bytes mask = test_bmp::PaddedRows({{bottomMask}, {topMask}});
    return {2, 2, 1, 8, test_bmp::IconBitmap(2, 2, 8, table, colour, mask)};
}

Bytes SmallPng(uint32_t size) {
    Bytes raw;
    for (uint32_t y = 0; y < size; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < size; ++x) raw.insert(raw.end(), {200, 100, 50, 128});
    }
    return test_png::Builder().Header(size, size, 8, 6).Data(raw).End();
}

struct IcoDecoded {
    bool ok = false;
    cICOparser parser;
    c32bppDIB image;
};

void DecodeIco(const Bytes& file, IcoDecoded& d, int32_t size = 32, int32_t depth = 32) {
    gdiplus::SetDisabled(true);
    d.ok = d.parser.LoadStream(file, size, size, &d.image, 0, 0, depth, 0);
    gdiplus::SetDisabled(false);
}

TEST(IcoDirectory, RejectsWhatIsNotAnIconFile) {
    const Bytes good = test_bmp::IconFile(1, {Masked2x2(0, 0)});
    cICOparser parser;
    ASSERT_TRUE(parser.LoadStream(good, 0, 0, nullptr, 0, 0, 32, 0));
    auto rejects = [](Bytes file) { return !cICOparser().LoadStream(file, 0, 0, nullptr, 0, 0, 32, 0); };
    Bytes reserved = good, type = good, count = good, total = good, offset = good;
    reserved[0] = 1;
    type[2] = 3;
    count[4] = 0;
    EXPECT_TRUE(rejects(reserved) && rejects(type) && rejects(count));
    EXPECT_TRUE(rejects(Bytes(good.begin(), good.begin() + 5)));
    EXPECT_TRUE(rejects(Bytes(good.begin(), good.begin() + 21)));  // the entry is cut
    total[14] += 1;                                                // more bytes than the file holds
    EXPECT_TRUE(rejects(total));
    offset[21] = 0x7F;  // the image lies outside the file
    EXPECT_TRUE(rejects(offset));
    // A bitmap without a bit count anywhere.
    Bytes noDepth = test_bmp::IconFile(1, {{2, 2, 1, 0, Masked2x2(0, 0).data}});
    noDepth[22 + 14] = 0;
    EXPECT_TRUE(rejects(noDepth));
    // "DR" where a bitmap keeps its bit count, but no PNG signature.
    Bytes fakePng = SmallPng(4);
    fakePng[0] = 0;
    EXPECT_TRUE(rejects(test_bmp::IconFile(1, {{4, 4, 1, 32, fakePng}})));
    // The window: a length of 0 means the rest; one past the array is refused.
    Bytes shifted(3, 0);
    test_bmp::Append(shifted, good);
    EXPECT_TRUE(parser.LoadStream(shifted, 0, 0, nullptr, 3, 0, 32, 0));
    EXPECT_FALSE(parser.LoadStream(shifted, 0, 0, nullptr, 3, int64_t(good.size()) + 1, 32, 0));
    EXPECT_EQ(parser.IconCount(), 0);
}

TEST(IcoDirectory, DescribesEveryEntry) {
    Bytes file = bmpico::ReadFile("ico/multi.ico");
    ASSERT_FALSE(file.empty());
    cICOparser parser;
    ASSERT_TRUE(parser.LoadStream(file, 0, 0, nullptr, 0, 0, 32, 0));
    EXPECT_EQ(parser.ChosenIndex(), 0);
    ASSERT_EQ(parser.IconCount(), 6);
    EXPECT_EQ(parser.bitDepth(1), 4);
    EXPECT_EQ(parser.ColorCount(1), 16);  // 296 bytes - (40 + 128 + 64), by 4
    const int64_t first = 6 + 16 * 6;
    EXPECT_EQ(parser.ColorByteOffset(1), first + 40 + 64);
    EXPECT_EQ(parser.ColorCount(3), 0);  // 24 bits: no palette
    EXPECT_EQ(parser.Width(6), 256);
    EXPECT_EQ(parser.Height(6), 256);
    EXPECT_TRUE(parser.IsIconPNG(6));
    EXPECT_FALSE(parser.IsIconPNG(5));
    EXPECT_EQ(parser.ColorCount(6), 0);
    for (int bad : {0, 7, -1}) {
        EXPECT_EQ(parser.Width(bad), 0);
        EXPECT_EQ(parser.bitDepth(bad), 0);
        EXPECT_FALSE(parser.IsIconPNG(bad));
        EXPECT_EQ(parser.ColorByteOffset(bad), 0);
    }
}

TEST(IcoDirectory, PngEntriesTakeSizeAndDepthFromTheirHeader) {
    // A 257-pixel PNG cannot be stored in the directory: its depth comes from
    // the header all the same (colour with alpha: 32) and the size stays.
    cICOparser parser;
    ASSERT_TRUE(parser.LoadStream(test_bmp::IconFile(1, {{16, 16, 1, 8, SmallPng(257)}, {4, 4, 1, 0, SmallPng(4)}}),
                                  0, 0, nullptr, 0, 0, 32, 0));
    EXPECT_EQ(parser.Width(1), 16);
    EXPECT_EQ(parser.bitDepth(1), 32);
    EXPECT_EQ(parser.bitDepth(2), 32);
    EXPECT_TRUE(parser.IsIconPNG(2));
}

TEST(IcoDecoder, PngImages) {
    IcoDecoded d;
    DecodeIco(test_bmp::IconFile(1, {{4, 4, 1, 32, SmallPng(4)}}), d, 4);
    ASSERT_TRUE(d.ok);
    ASSERT_NE(d.image.Handle(), 0u);
    EXPECT_EQ(d.image.ImageType(), imgIconPNG);
    const uint8_t* p = d.image.BitsPointer();
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{50 * 128 / 255, 100 * 128 / 255, 200 * 128 / 255, 128}));
    // A PNG image the PNG decoder cannot decode: an icon, but no image.
    Bytes broken = SmallPng(4);
    broken[24] = 3;  // bit depth
    IcoDecoded b;
    DecodeIco(test_bmp::IconFile(1, {{4, 4, 1, 32, broken}}), b, 4);
    EXPECT_TRUE(b.ok);
    EXPECT_EQ(b.image.Handle(), 0u);
}

TEST(IcoDecoder, ThirtyTwoBitAlpha) {
    // Bottom row: alpha 0 with colour, alpha 128; top row: alpha 255, alpha 1.
    IcoDecoded d;
    DecodeIco(test_bmp::IconFile(1, {Alpha2x2({9, 9, 9, 0, 200, 100, 51, 128, 1, 2, 3, 255, 255, 255, 255, 1})}), d, 2);
    ASSERT_TRUE(d.ok);
    ASSERT_NE(d.image.Handle(), 0u);
    EXPECT_TRUE(d.image.Alpha());
    EXPECT_EQ(d.image.ImageType(), imgIconAlpha);
    const uint8_t* p = d.image.BitsPointer();
    EXPECT_EQ(Bytes(p, p + 16), (Bytes{0, 0, 0, 0, 100, 50, 25, 128, 1, 2, 3, 255, 1, 1, 1, 1}));

    IcoDecoded clear;
    DecodeIco(test_bmp::IconFile(2, {Alpha2x2(Bytes(16, 0))}), clear, 2);
    EXPECT_EQ(clear.image.ImageType(), imgCursorAlpha);
    EXPECT_EQ(bmpico::TopRowFirst(clear.image), Bytes(16, 0));
    EXPECT_TRUE(clear.image.Alpha());
}

TEST(IcoDecoder, AndMask) {
    IcoDecoded d;
    DecodeIco(test_bmp::IconFile(1, {Masked2x2(0x40, 0x00)}), d, 2, 8);  // bottom row, right pixel
    ASSERT_NE(d.image.Handle(), 0u);
    EXPECT_EQ(d.image.ImageType(), imgIcon);
    EXPECT_TRUE(d.image.Alpha());
    const uint8_t* p = d.image.BitsPointer();
    EXPECT_EQ(Bytes(p, p + 16), (Bytes{0x44, 0, 0, 255, 0, 0, 0, 0, 0x44, 0, 0, 255, 0x44, 0, 0, 255}));

    IcoDecoded opaque;
    DecodeIco(test_bmp::IconFile(2, {Masked2x2(0, 0)}), opaque, 2, 8);
    EXPECT_EQ(opaque.image.ImageType(), imgCursor);
    EXPECT_FALSE(opaque.image.Alpha());
}

// The directory stores 256 as 0; the mask rows are still 32 bytes long.
TEST(IcoDecoder, MaskedImagesWiderThan255Pixels) {
    Bytes file = bmpico::ReadFile("ico/wide_1bpp.ico");
    ASSERT_FALSE(file.empty());
    IcoDecoded d;
    DecodeIco(file, d, 256, 4);
    ASSERT_EQ(d.parser.ChosenIndex(), 2);
    ASSERT_EQ(d.image.Width(), 256);
    EXPECT_EQ(d.image.ImageType(), imgIcon);
    EXPECT_TRUE(d.image.Alpha());
    const PixelView px = d.image.Pixels();
    EXPECT_EQ(px.PictureRow(0)[3], 0);              // corner: outside the circle
    EXPECT_EQ(px.PictureRow(128)[128 * 4 + 3], 255);  // centre
}

TEST(IcoDecoder, BitmapEdgeCases) {
    // The image's own bit count is 0: the directory's is taken.
    IconImage noOwnDepth = Masked2x2(0, 0);
    noOwnDepth.data[14] = 0;
    IcoDecoded d;
    DecodeIco(test_bmp::IconFile(1, {noOwnDepth}), d, 2, 8);
    EXPECT_EQ(d.parser.bitDepth(1), 8);
    EXPECT_NE(d.image.Handle(), 0u);

    // Bytes in resource that leave no room for the mask: a directory, no image.
    IconImage cut = Masked2x2(0, 0);
    cut.data.resize(40 + 1024 + 2);
    IcoDecoded c;
    ASSERT_TRUE(c.image.InitializeDIB(3, 3));
    DecodeIco(test_bmp::IconFile(1, {cut}), c, 2, 8);
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.image.Handle(), 0u);

    // Only a 64-bit image: chosen, as nothing else is there, but not decodable.
    IconImage deep = Masked2x2(0, 0);
    deep.data[14] = 64;
    IcoDecoded n;
    DecodeIco(test_bmp::IconFile(1, {deep}), n);
    EXPECT_TRUE(n.ok);
    EXPECT_EQ(n.parser.ChosenIndex(), 1);
    EXPECT_EQ(n.image.Handle(), 0u);
}

TEST(IcoDecoder, LeavesTheCallersBytesUnchanged) {
    const Bytes original = bmpico::ReadFile("ico/pointer.cur");
    ASSERT_FALSE(original.empty());
    Bytes file = original;
    for (int depth : {8, 32}) {
        IcoDecoded d;
        DecodeIco(file, d, 32, depth);
        EXPECT_NE(d.image.Handle(), 0u);
        EXPECT_EQ(d.image.ImageType(), depth == 32 ? imgCursorAlpha : imgCursor);
    }
    EXPECT_EQ(file, original);
}

}  // namespace
