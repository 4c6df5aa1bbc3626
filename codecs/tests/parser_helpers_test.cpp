#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "codecs/calling_convention_probe.h"
#include "codecs/modParsers.h"

namespace {

TEST(ParserHelpers, SwapEndian32KeepsEveryBit) {
    const uint8_t in[4] = {1, 2, 3, 4};
    uint32_t value;
    std::memcpy(&value, in, 4);
    uint32_t swapped = modParsers::SwapEndian32(value);
    uint8_t out[4];
    std::memcpy(out, &swapped, 4);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(modParsers::SwapEndian32(0x80000001u), 0x01000080u);
    EXPECT_EQ(modParsers::SwapEndian32(0x01000080u), 0x80000001u);
}

TEST(ParserHelpers, AlignedScanWidth) {
    EXPECT_EQ(modParsers::AlignedScanWidth(24, 1), 4);
    EXPECT_EQ(modParsers::AlignedScanWidth(24, 3), 12);
    EXPECT_EQ(modParsers::AlignedScanWidth(1, 33), 8);
    EXPECT_EQ(modParsers::AlignedScanWidth(32, 0), 0);
    EXPECT_EQ(modParsers::AlignedScanWidth(32, 67108863), 268435452);
    EXPECT_FALSE(modParsers::AlignedScanWidth(32, 67108864));  // 2^31 bits: overflow, not a wrap
    EXPECT_FALSE(modParsers::AlignedScanWidth(1, INT32_MAX));
    EXPECT_FALSE(modParsers::AlignedScanWidth(8, -1));
}

TEST(ParserHelpers, GrayScaleWeights) {
    auto w = modParsers::GetGrayScaleWeights(1);
    EXPECT_FLOAT_EQ(w.red, 0.213f);
    EXPECT_FLOAT_EQ(w.green, 0.715f);
    EXPECT_FLOAT_EQ(w.blue, 0.072f);
    EXPECT_FLOAT_EQ(modParsers::GetGrayScaleWeights(-1).green, 1.0f);
    EXPECT_FLOAT_EQ(modParsers::GetGrayScaleWeights(7).red, 0.1f);
    for (int other : {0, 8, 12, -5}) EXPECT_FLOAT_EQ(modParsers::GetGrayScaleWeights(other).green, 0.587f) << other;
}

CallingConvention Probe(std::vector<uint8_t> code) { return ProbeThreeArgumentConvention(code); }

TEST(CallingConventionProbe, ReadsTheReturnInstruction) {
    EXPECT_EQ(Probe({0x55, 0x89, 0xE5, 0xC2, 0x0C, 0x00}), CallingConvention::Stdcall);
    EXPECT_EQ(Probe({0x55, 0x5D, 0xC3}), CallingConvention::Cdecl);
    EXPECT_EQ(Probe({0xC3}), CallingConvention::Cdecl);
    // "xor eax, ebx" is 33 C3: not a return; "ret 8" is another function's.
    EXPECT_EQ(Probe({0x33, 0xC3, 0xC2, 0x08, 0x00, 0xC2, 0x0C, 0x00}), CallingConvention::Stdcall);
    EXPECT_EQ(Probe({0x90, 0x33, 0xC3, 0x90, 0xC3}), CallingConvention::Cdecl);
    EXPECT_EQ(Probe({0x90, 0xC2, 0x0C}), CallingConvention::Unknown);  // cut short
    EXPECT_EQ(Probe({}), CallingConvention::Unknown);
}

}  // namespace
