// The public decoding entry: layouts, stored colours, statuses and threads,
// on small files made by the test builder.
#include "mendlow/image_codecs.h"

#include <gtest/gtest.h>

#include <thread>

#include "codecs/tests/png_builder.h"

namespace {

using PngBuilder = test_png::Builder;
using test_png::Bytes;
using mendlow::DecodeStatus;

// 2 x 3 RGBA: opaque red, a nearly transparent colour, a transparent white,
// half-transparent blue, opaque black, transparent green.
const Bytes kEntryRgba = {255, 0, 0, 255, 215, 241, 255, 2, 255, 255, 255, 0,
                     0, 0, 255, 128, 0, 0, 0, 255, 0, 255, 0, 0};

Bytes EntryRgbaPng(bool interlaced = false) {
    Bytes rows = interlaced ? test_png::Adam7(kEntryRgba, 2, 3, 4) : test_png::Plain(kEntryRgba, 2, 3, 4);
    return PngBuilder().Header(2, 3, 8, 6, interlaced ? 1 : 0).Data(rows, 2).End();
}

mendlow::DecodeResult DecodeEntry(const Bytes& file, Bytes& out, mendlow::DecodeOptions options = {}) {
    mendlow::DecodedImage image;
    mendlow::DecodeResult result = mendlow::DecodeImage(file.data(), file.size(), options, image);
    out = image.pixels;
    return result;
}

TEST(DecodeImage, EveryLayoutGivesTheStoredOrPremultipliedColoursAndLeavesThePaddingAlone) {
    using mendlow::AlphaMode, mendlow::ChannelOrder, mendlow::RowOrder;
    for (bool interlaced : {false, true})
        for (auto channels : {ChannelOrder::Rgba, ChannelOrder::Bgra})
            for (auto alpha : {AlphaMode::Straight, AlphaMode::Premultiplied})
                for (auto rows : {RowOrder::TopDown, RowOrder::BottomUp}) {
                    SCOPED_TRACE(testing::Message() << interlaced << int(channels) << int(alpha) << int(rows));
                    const Bytes png = EntryRgbaPng(interlaced);
                    const size_t stride = 2 * 4 + 3;
                    Bytes buffer(stride * 3, 0xEE);
                    auto result = mendlow::DecodeImage(png.data(), png.size(), {channels, alpha, rows}, buffer.data(),
                                                       buffer.size(), stride);
                    ASSERT_EQ(result.status, DecodeStatus::Ok) << result.message;
                    for (int y = 0; y < 3; ++y) {
                        const uint8_t* row = buffer.data() + (rows == RowOrder::TopDown ? y : 2 - y) * stride;
                        for (int x = 0; x < 2; ++x) {
                            const uint8_t* s = &kEntryRgba[(y * 2 + x) * 4];
                            uint8_t want[4] = {s[0], s[1], s[2], s[3]};
                            if (alpha == AlphaMode::Premultiplied)
                                for (int c = 0; c < 3; ++c) want[c] = uint8_t(want[c] * s[3] / 255);
                            if (channels == ChannelOrder::Bgra) std::swap(want[0], want[2]);
                            EXPECT_EQ(Bytes(row + 4 * x, row + 4 * x + 4), Bytes(want, want + 4)) << x << "," << y;
                        }
                        EXPECT_EQ(Bytes(row + 8, row + 11), Bytes(3, 0xEE));
                    }
                }
}

// Straight RGBA of each kind of sample.
TEST(DecodeImage, SampleKindsGiveTheirStoredColours) {
    struct Case {
        const char* name;
        Bytes png;
        Bytes rgba;
    };
    const Bytes palette = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    const uint32_t kWrongCrc = 1;
    const Case cases[] = {
        {"grey and alpha", PngBuilder().Header(2, 1, 8, 4).Data(test_png::Plain({7, 0, 200, 9}, 2, 1, 2)).End(),
         {7, 7, 7, 0, 200, 200, 200, 9}},
        {"palette, shorter tRNS", PngBuilder().Header(3, 1, 8, 3).Chunk("PLTE", palette).Chunk("tRNS", {0, 3})
              .Data(test_png::Plain({0, 1, 2}, 3, 1, 1)).End(),
         {10, 20, 30, 0, 40, 50, 60, 3, 70, 80, 90, 255}},
        {"RGB keyed: the colour stays", PngBuilder().Header(2, 1, 8, 2).Chunk("tRNS", {0, 1, 0, 2, 0, 3})
              .Data(test_png::Plain({1, 2, 3, 1, 2, 4}, 2, 1, 3)).End(),
         {1, 2, 3, 0, 1, 2, 4, 255}},
        {"tRNS with a wrong CRC-32 is ignored", PngBuilder().Header(1, 1, 8, 2).Chunk("tRNS", {0, 1, 0, 2, 0, 3}, &kWrongCrc)
              .Data(test_png::Plain({1, 2, 3}, 1, 1, 3)).End(),
         {1, 2, 3, 255}},
        {"RGB key beyond 8 bits matches nothing", PngBuilder().Header(1, 1, 8, 2).Chunk("tRNS", {1, 1, 0, 2, 0, 3})
              .Data(test_png::Plain({1, 2, 3}, 1, 1, 3)).End(),
         {1, 2, 3, 255}},
        {"2-bit grey scaled, keyed", PngBuilder().Header(4, 1, 2, 0).Chunk("tRNS", {0, 2})
              .Data(test_png::Plain({0x1B}, 1, 1, 1)).End(),
         {0, 0, 0, 255, 85, 85, 85, 255, 170, 170, 170, 0, 255, 255, 255, 255}},
        {"16-bit grey key matches whole samples", PngBuilder().Header(2, 1, 16, 0).Chunk("tRNS", {0x12, 0x34})
              .Data(test_png::Plain({0x12, 0x34, 0x12, 0x35}, 2, 1, 2)).End(),
         {0x12, 0x12, 0x12, 0, 0x12, 0x12, 0x12, 255}},
        {"16-bit RGBA keeps high bytes", PngBuilder().Header(1, 1, 16, 6)
              .Data(test_png::Plain({1, 99, 2, 99, 3, 99, 4, 99}, 1, 1, 8)).End(),
         {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        Bytes out;
        auto result = DecodeEntry(c.png, out);
        EXPECT_EQ(result.status, DecodeStatus::Ok) << c.name << ": " << result.message;
        EXPECT_EQ(out, c.rgba) << c.name;
    }
}

TEST(DecodeImage, BadFilesAndArgumentsAnswerTheirReason) {
    const Bytes raw = test_png::Plain(kEntryRgba, 2, 3, 4);
    const Bytes good = EntryRgbaPng();
    Bytes badCrc = good;
    badCrc.back() ^= 1;  // IEND's
    Bytes badAdler = test_png::ZlibStored(raw);
    badAdler.back() ^= 1;
    const Bytes shortData(raw.begin(), raw.end() - 9);
    mendlow::DecodeOptions unchecked, tiny, bogus;
    unchecked.checkChecksums = false;
    tiny.maxPixels = 5;
    bogus.alpha = static_cast<mendlow::AlphaMode>(7);
    struct Case {
        const char* name;
        Bytes file;
        mendlow::DecodeOptions options;
        DecodeStatus status;
    };
    const Case cases[] = {
        {"not a picture", kEntryRgba, {}, DecodeStatus::NotAPicture},
        {"CRC", badCrc, {}, DecodeStatus::ChecksumMismatch},
        {"CRC unchecked", badCrc, unchecked, DecodeStatus::Ok},
        {"Adler", PngBuilder().Header(2, 3, 8, 6).Chunk("IDAT", badAdler).End(), {}, DecodeStatus::ChecksumMismatch},
        {"Adler unchecked", PngBuilder().Header(2, 3, 8, 6).Chunk("IDAT", badAdler).End(), unchecked, DecodeStatus::Ok},
        {"file cut", Bytes(good.begin(), good.end() - 20), {}, DecodeStatus::Truncated},
        {"data ends early", PngBuilder().Header(2, 3, 8, 6).Data(shortData).End(), {}, DecodeStatus::Truncated},
        {"over the limit", good, tiny, DecodeStatus::TooLarge},
        {"10^10 pixels", PngBuilder().Header(100000, 100000, 8, 6).Data(raw).End(), {}, DecodeStatus::TooLarge},
        {"no palette", PngBuilder().Header(1, 1, 8, 3).Data({0, 0}).End(), {}, DecodeStatus::Damaged},
        {"IDAT first", PngBuilder().Data(raw).Header(2, 3, 8, 6).End(), {}, DecodeStatus::Damaged},
        {"depth 3", PngBuilder().Header(2, 3, 3, 0).Data(raw).End(), {}, DecodeStatus::Damaged},
        {"unknown option", good, bogus, DecodeStatus::InvalidArgument},
    };
    for (const Case& c : cases) {
        mendlow::DecodedImage image;
        auto result = mendlow::DecodeImage(c.file.data(), c.file.size(), c.options, image);
        EXPECT_EQ(result.status, c.status) << c.name << ": " << result.message;
        EXPECT_NE(result.message, nullptr);
        EXPECT_EQ(image.pixels.empty(), c.status != DecodeStatus::Ok) << c.name;
    }
    Bytes buffer(2 * 4 * 3);
    EXPECT_EQ(mendlow::DecodeImage(good.data(), good.size(), {}, buffer.data(), buffer.size() - 1, 8).status,
              DecodeStatus::InvalidArgument);
    EXPECT_EQ(mendlow::DecodeImage(good.data(), good.size(), {}, buffer.data(), buffer.size(), 7).status,
              DecodeStatus::InvalidArgument);
    EXPECT_EQ(mendlow::DecodeImage(nullptr, 0, {}, buffer.data(), buffer.size(), 8).status,
              DecodeStatus::InvalidArgument);
}

TEST(ReadImageInfo, ReadsTheHeadersAlone) {
    const Bytes rgb = test_png::Plain({1, 2, 3}, 1, 1, 3);
    const Bytes garbage = {1, 2, 3};
    auto info = mendlow::ReadImageInfo(EntryRgbaPng().data(), EntryRgbaPng().size());
    EXPECT_TRUE(info);
    EXPECT_EQ(info.info.width, 2);
    EXPECT_EQ(info.info.height, 3);
    EXPECT_EQ(info.info.format, mendlow::FileFormat::Png);
    EXPECT_TRUE(info.info.hasAlpha);
    const Bytes opaque = PngBuilder().Header(1, 1, 8, 2).Chunk("IDAT", garbage).End();  // pixels not decoded
    info = mendlow::ReadImageInfo(opaque.data(), opaque.size());
    EXPECT_TRUE(info) << info.message;
    EXPECT_FALSE(info.info.hasAlpha);
    const Bytes keyed = PngBuilder().Header(1, 1, 8, 2).Chunk("tRNS", {0, 1, 0, 2, 0, 3}).Data(rgb).End();
    EXPECT_TRUE(mendlow::ReadImageInfo(keyed.data(), keyed.size()).info.hasAlpha);
    EXPECT_EQ(mendlow::ReadImageInfo(garbage.data(), garbage.size()).status, DecodeStatus::NotAPicture);
}

// Each thread decodes its own file over and over; every result must equal
// the one decoded alone.
TEST(DecodeImage, FourThreadsAtOnceGiveWhatOneGives) {
    std::vector<Bytes> files, alone(4);
    for (int t = 0; t < 4; ++t) {
        const int side = 64 + 16 * t;
        Bytes samples(size_t(side) * side * 4);
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i * (t + 3) >> 3);
        files.push_back(PngBuilder().Header(side, side, 8, 6, t & 1).Data(
            t & 1 ? test_png::Adam7(samples, side, side, 4) : test_png::Plain(samples, side, side, 4), 3).End());
        ASSERT_TRUE(DecodeEntry(files[t], alone[t]));
    }
    std::vector<int> mismatches(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                Bytes out;
                if (!DecodeEntry(files[t], out) || out != alone[t]) ++mismatches[t];
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4));
}

TEST(DecodeImage, TheFirstFormGivesBlueFirstStraightRowsTopDownAndFalseForOtherBytes) {
    const Bytes png = EntryRgbaPng();
    mendlow::DecodedImage image;
    ASSERT_TRUE(mendlow::DecodeImage(png.data(), png.size(), image));
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(Bytes(image.pixels.begin() + 4, image.pixels.begin() + 8), Bytes({255, 241, 215, 2}));
    EXPECT_FALSE(mendlow::DecodeImage(kEntryRgba.data(), kEntryRgba.size(), image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(mendlow::DecodeImage(nullptr, 0, image));
}

}  // namespace
