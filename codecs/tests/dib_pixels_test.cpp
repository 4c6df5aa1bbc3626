#include <gtest/gtest.h>

#include "codecs/dib_pixels.h"
#include "codecs/tests/bmp_builder.h"

namespace {

using test_bmp::Bytes;
using test_bmp::Info;

// Decoded pixels as 0xRRGGBB, picture rows top first, or nothing.
std::optional<std::vector<uint32_t>> Decode(const Bytes& header, const Bytes& pixels) {
    std::optional<dib::Format> f = dib::ReadFormat(header);
    if (!f) return std::nullopt;
    std::vector<uint8_t> bits(size_t(f->width) * f->height * 4, 0x77);
    PixelView view{bits.data(), f->width, f->height};
    if (!dib::DecodePixels(*f, pixels, OutputRows::Of(view))) return std::nullopt;
    std::vector<uint32_t> out;
    for (int y = 0; y < f->height; ++y) {
        const uint8_t* p = view.PictureRow(y);
        for (int x = 0; x < f->width; ++x, p += 4) {
            EXPECT_EQ(p[3], 255);
            out.push_back(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
        }
    }
    return out;
}

Bytes WithTable(Info info, const std::vector<uint32_t>& colours) {
    Bytes h = test_bmp::InfoHeader(info);
    test_bmp::Append(h, test_bmp::Quads(colours));
    return h;
}

const std::vector<uint32_t> kPalette = {0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666};
constexpr uint32_t kBlack = 0;

TEST(DibFormat, TakesOnlyWhatItCanDecode) {
    auto takes = [](Info i) {
        i.coloursUsed = uint32_t(kPalette.size());
        return dib::ReadFormat(WithTable(i, kPalette)).has_value();
    };
    EXPECT_TRUE(takes({.width = 3, .height = -2, .bitCount = 8}));
    EXPECT_FALSE(takes({.width = 3, .height = 2, .bitCount = 8, .compression = 4}));  // JPEG inside
    EXPECT_FALSE(takes({.width = 3, .height = 2, .bitCount = 8, .compression = 5}));  // PNG inside
    EXPECT_FALSE(takes({.width = 3, .height = -2, .bitCount = 8, .compression = 1}));  // run-length data is bottom-up only
    EXPECT_FALSE(takes({.width = 3, .height = 2, .bitCount = 4, .compression = 1}));
    EXPECT_FALSE(takes({.width = 3, .height = 2, .bitCount = 24, .compression = 3}));
    EXPECT_FALSE(takes({.width = 3, .height = 2, .bitCount = 2}));
    EXPECT_FALSE(takes({.width = 3, .height = 2, .bitCount = 0}));
    EXPECT_FALSE(takes({.width = 0, .height = 2, .bitCount = 8}));
    EXPECT_FALSE(takes({.width = 3, .height = 0, .bitCount = 8}));
    EXPECT_FALSE(takes({.width = 3, .height = INT32_MIN, .bitCount = 24}));
    EXPECT_FALSE(takes({.width = 3, .height = 2, .bitCount = 8, .size = 64}));  // OS/2 2.x
    // The colour table must be there; 16 entries for a 4-bit image without a count.
    EXPECT_FALSE(dib::ReadFormat(test_bmp::InfoHeader({.width = 3, .height = 2, .bitCount = 8, .coloursUsed = 2})));
    std::optional<dib::Format> full = dib::ReadFormat(WithTable({.width = 1, .height = 1, .bitCount = 4},
                                                                std::vector<uint32_t>(16, 0x123456)));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->palette.size(), 16u);
    std::optional<dib::Format> clamped = dib::ReadFormat(
        WithTable({.width = 1, .height = 1, .bitCount = 1, .coloursUsed = 300}, std::vector<uint32_t>(2, 1)));
    ASSERT_TRUE(clamped);
    EXPECT_EQ(clamped->palette.size(), 2u);
}

TEST(DibPixels, IndexedRowsReadBitsMostSignificantFirst) {
    // 1 bit, 10 pixels: 1011001110 then padding.
    auto one = Decode(WithTable({.width = 10, .height = 1, .bitCount = 1}, {0x0000FF, 0xFF0000}), {0xB3, 0x80, 0, 0});
    ASSERT_TRUE(one);
    const std::vector<int> bits = {1, 0, 1, 1, 0, 0, 1, 1, 1, 0};
    for (size_t x = 0; x < bits.size(); ++x) EXPECT_EQ((*one)[x], bits[x] ? 0xFF0000u : 0x0000FFu) << x;
    // 4 bits, 3 pixels, an index past the table is black.
    auto four = Decode(WithTable({.width = 3, .height = 1, .bitCount = 4, .coloursUsed = 6}, kPalette), {0x5F, 0x20, 0, 0});
    ASSERT_TRUE(four);
    EXPECT_EQ(*four, (std::vector<uint32_t>{0x666666, kBlack, 0x333333}));
}

TEST(DibPixels, UncompressedDataMustHoldEveryPaddedRow) {
    Bytes header = test_bmp::InfoHeader({.width = 3, .height = 2, .bitCount = 24});
    EXPECT_TRUE(Decode(header, Bytes(24)));
    EXPECT_FALSE(Decode(header, Bytes(23)));  // the last row's padding is missing
    EXPECT_EQ(dib::RowBytes(3, 24), 12u);
    EXPECT_FALSE(dib::RowBytes(INT32_MAX, 32));
}

TEST(DibPixels, SixteenBitChannelsWiden) {
    // Default 5-5-5: 31 becomes 255, 16 becomes 132.
    Bytes pixels;
    test_bmp::Put16(pixels, 31 << 10 | 16 << 5 | 1);
    pixels.resize(4);
    auto plain = Decode(test_bmp::InfoHeader({.width = 1, .height = 1, .bitCount = 16}), pixels);
    ASSERT_TRUE(plain);
    EXPECT_EQ((*plain)[0], 0xFF8408u);
    // 5-6-5 bit fields after a 40-byte header; green 6 bits: 33 becomes 134.
    Bytes header = test_bmp::InfoHeader({.width = 1, .height = 1, .bitCount = 16, .compression = 3});
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) test_bmp::Put32(header, m);
    Bytes px565;
    test_bmp::Put16(px565, 0 << 11 | 33 << 5 | 31);
    px565.resize(4);
    auto fields = Decode(header, px565);
    ASSERT_TRUE(fields);
    EXPECT_EQ((*fields)[0], 0x0086FFu);
    // An empty mask gives 0; a 10-bit channel keeps its top 8 bits.
    auto odd = Decode(test_bmp::InfoHeader({.width = 1, .height = 1, .bitCount = 32, .compression = 3, .size = 52,
                                            .masks = {0, 0x3FF, 0xFC00}}),
                      Bytes{0xFF, 0xFE, 0xFF, 0xFF});
    ASSERT_TRUE(odd);
    EXPECT_EQ((*odd)[0], 0x00BFFFu);
}

// Run-length data: rows bottom-up; the picture's top row is listed first.
std::optional<std::vector<uint32_t>> DecodeRle(int32_t width, int32_t height, bool fourBit, const Bytes& data) {
    Info info{.width = width, .height = height, .bitCount = uint16_t(fourBit ? 4 : 8), .compression = fourBit ? 2u : 1u,
              .coloursUsed = uint32_t(kPalette.size())};
    return Decode(WithTable(info, kPalette), data);
}

TEST(DibRunLength, RunsLiteralsAndLineEnds) {
    // Row 0: a run of 2 x index 1, then a literal of 3 (padded), end of line;
    // row 1: run of 5 x index 2 (one more than fits is dropped, not wrapped).
    auto eight = DecodeRle(4, 2, false, {2, 1, 0, 3, 3, 4, 5, 0, 0, 0, 5, 2, 0, 1});
    ASSERT_TRUE(eight);
    EXPECT_EQ(*eight, (std::vector<uint32_t>{0x333333, 0x333333, 0x333333, 0x333333,  // top row
                                             0x222222, 0x222222, 0x444444, 0x555555}));
    // 4 bits: a run alternates the two nibbles; a literal of 3 takes 2 bytes, padded to 4.
    auto four = DecodeRle(5, 1, true, {2, 0x12, 0, 3, 0x34, 0x50, 0, 1});
    ASSERT_TRUE(four);
    EXPECT_EQ(*four, (std::vector<uint32_t>{0x222222, 0x333333, 0x444444, 0x555555, 0x666666}));
}

TEST(DibRunLength, UnreachedPixelsStayBlack) {
    // A delta from (1,0) by (1,1), one pixel, then the end of the bitmap.
    auto delta = DecodeRle(3, 3, false, {1, 5, 0, 2, 1, 1, 1, 4, 0, 1, 9, 9});
    ASSERT_TRUE(delta);
    EXPECT_EQ(*delta, (std::vector<uint32_t>{kBlack, kBlack, kBlack,       // top row: never reached
                                             kBlack, kBlack, 0x555555,     // the pixel after the delta
                                             0x666666, kBlack, kBlack}));  // bottom row
    // Data that ends in the middle keeps what it gave; a literal cut short too.
    auto cut = DecodeRle(4, 1, false, {2, 1, 0, 4, 3});
    ASSERT_TRUE(cut);
    EXPECT_EQ(*cut, (std::vector<uint32_t>{0x222222, 0x222222, 0x444444, kBlack}));
    auto empty = DecodeRle(2, 1, false, {});
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, (std::vector<uint32_t>{kBlack, kBlack}));
    // A delta without its two bytes, and moves far past the image, are harmless.
    EXPECT_TRUE(DecodeRle(2, 2, false, {0, 2, 1}));
    Bytes farMoves;
    for (int i = 0; i < 300; ++i) farMoves.insert(farMoves.end(), {0, 2, 255, 0, 255, 7});
    EXPECT_TRUE(DecodeRle(2, 2, false, farMoves));
}

}  // namespace
