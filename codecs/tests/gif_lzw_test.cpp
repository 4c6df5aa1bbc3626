#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "codecs/gif_lzw.h"
#include "codecs/tests/gif_builder.h"

namespace {

using gif::DecodeLzw;
using gif::LzwEnd;
using test_gif::Bytes;
using test_gif::LzwEncode;

// Indices below 2^bits: noisy at first, then long runs and repeats.
Bytes Sample(size_t count, int bits, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes out(count);
    for (size_t i = 0; i < count; ++i) {
        if (i < count / 3)
            out[i] = static_cast<uint8_t>(random() & ((1u << bits) - 1));
        else if (i < 2 * count / 3)
            out[i] = static_cast<uint8_t>((i / 97) & ((1u << bits) - 1));
        else
            out[i] = out[i % 1000];
    }
    return out;
}

TEST(GifLzw, HandWrittenStreamWidensCodesWhenTheTableReachesAPowerOfTwo) {
    // Code size 2: clear, 1, 6 (defined by itself), 6, then the end code at 4 bits
    // because the table reached code 8 after the second 6.
    const Bytes data = {0x8C, 0x5D};
    Bytes out(8, 0xEE);
    gif::LzwResult r = DecodeLzw(data, 2, out);
    EXPECT_EQ(r.end, LzwEnd::EndCode);
    EXPECT_EQ(r.produced, 5u);
    EXPECT_EQ(out, (Bytes{1, 1, 1, 1, 1, 0xEE, 0xEE, 0xEE}));
}

TEST(GifLzw, CodeSizeOneWidensAfterTheFirstCode) {
    // Clear and 1 in 2 bits, then 1, 0, 4 ("1 1") and the end code (3) in 3 bits.
    const Bytes data = {0x16, 0x70};
    Bytes out(6, 0xEE);
    gif::LzwResult r = DecodeLzw(data, 1, out);
    EXPECT_EQ(r.end, LzwEnd::EndCode);
    EXPECT_EQ(out, (Bytes{1, 1, 0, 1, 1, 0xEE}));
}

TEST(GifLzw, RoundTripsEveryCodeSizeWithAndWithoutClearsWhenFull) {
    for (int codeSize = 1; codeSize <= 8; ++codeSize) {
        for (bool clearWhenFull : {true, false}) {
            for (bool clearFirst : {true, false}) {
                SCOPED_TRACE(testing::Message() << "code size " << codeSize << " clear when full " << clearWhenFull
                                                << " clear first " << clearFirst);
                const int bits = codeSize;
                Bytes indices = Sample(60000, bits, static_cast<uint32_t>(codeSize));
                Bytes data = LzwEncode(indices, codeSize, {clearFirst, true, clearWhenFull});
                Bytes out(indices.size());
                gif::LzwResult r = DecodeLzw(data, codeSize, out);
                EXPECT_EQ(r.end, LzwEnd::Filled);
                ASSERT_EQ(r.produced, indices.size());
                EXPECT_EQ(out, indices);
            }
        }
    }
}

TEST(GifLzw, LongRunsOfOneIndex) {
    // Strings grow by one each code, each defined by itself; the table fills.
    Bytes indices(3'000'000, 3);
    for (bool clearWhenFull : {true, false}) {
        Bytes out(indices.size());
        gif::LzwResult r = DecodeLzw(LzwEncode(indices, 2, {true, true, clearWhenFull}), 2, out);
        EXPECT_EQ(r.produced, indices.size());
        EXPECT_EQ(out, indices);
    }
}

TEST(GifLzw, StopsWhereTheOutputIsFullWithoutWritingPastIt) {
    Bytes indices = Sample(5000, 8, 7);
    Bytes data = LzwEncode(indices, 8);
    Bytes buffer(5000, 0xEE);
    gif::LzwResult r = DecodeLzw(data, 8, std::span(buffer).first(1234));
    EXPECT_EQ(r.end, LzwEnd::Filled);
    EXPECT_EQ(r.produced, 1234u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 1234, indices.begin()));
    EXPECT_EQ(buffer[1234], 0xEE);
    EXPECT_EQ(DecodeLzw(data, 8, {}).produced, 0u);
}

TEST(GifLzw, ShortStreamsReportHowFarTheyGot) {
    Bytes indices = Sample(4000, 4, 3);
    Bytes data = LzwEncode(indices, 4);
    Bytes out(indices.size() + 10, 0xEE);
    gif::LzwResult early = DecodeLzw(data, 4, out);  // the end code comes before the output is full
    EXPECT_EQ(early.end, LzwEnd::EndCode);
    EXPECT_EQ(early.produced, indices.size());

    for (size_t cut : {size_t{0}, size_t{1}, data.size() / 2, data.size() - 4}) {
        Bytes part(data.begin(), data.begin() + cut);
        std::fill(out.begin(), out.end(), 0xEE);
        gif::LzwResult r = DecodeLzw(part, 4, out);
        EXPECT_EQ(r.end, LzwEnd::DataEnded) << cut;
        EXPECT_LT(r.produced, indices.size());
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + r.produced, indices.begin()));
        EXPECT_EQ(out[r.produced], 0xEE);
    }
}

TEST(GifLzw, CodesThatNameNoEntryStopTheDecoding) {
    Bytes out(16, 0xEE);
    // Code size 2, 3-bit codes: clear, then 6 (not yet defined and nothing before it).
    EXPECT_EQ(DecodeLzw(Bytes{0x34, 0x00}, 2, out).end, LzwEnd::BadCode);
    // 1, then 7: beyond the one code that may be defined next.
    gif::LzwResult r = DecodeLzw(Bytes{0xCC, 0x01}, 2, out);
    EXPECT_EQ(r.end, LzwEnd::BadCode);
    EXPECT_EQ(r.produced, 1u);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 0xEE);
}

TEST(GifLzw, RejectsCodeSizesOutsideOneToEight) {
    Bytes data = LzwEncode({1, 1, 0}, 2);
    Bytes out(3, 0xEE);
    for (int codeSize : {-1, 0, 9, 12}) {
        gif::LzwResult r = DecodeLzw(data, codeSize, out);
        EXPECT_EQ(r.end, LzwEnd::BadCode);
        EXPECT_EQ(r.produced, 0u);
    }
    EXPECT_EQ(out, Bytes(3, 0xEE));
}

}  // namespace
