#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "codecs/cPNGparser.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/inflater.h"
#include "codecs/modParsers.h"
#include "codecs/png_pixels.h"
#include "codecs/tests/png_builder.h"
#include "imagecore/c32bppDIB.h"

namespace {

using test_png::Builder;
using test_png::Bytes;

struct PngDecoded {
    bool isPng = false;
    bool hasImage = false;
    int width = 0, height = 0;
    bool alpha = false;
    Bytes bgra;  // top row first
};

// Always the own path: where GDI+ exists it would otherwise decode first.
PngDecoded DecodePng(const Bytes& file, bool withZlib = true) {
    gdiplus::SetDisabled(true);
    modParsers::SetZlibDisabled(!withZlib);
    c32bppDIB image;
    cPNGparser parser;
    PngDecoded d;
    d.isPng = parser.LoadStream(file, image, 0, static_cast<int64_t>(file.size()), 0);
    modParsers::SetZlibDisabled(false);
    gdiplus::SetDisabled(false);
    d.hasImage = image.Handle() != 0;
    if (!d.hasImage) return d;
    d.width = image.Width(), d.height = image.Height(), d.alpha = image.Alpha();
    for (int y = 0; y < image.Height(); ++y)
        d.bgra.insert(d.bgra.end(), image.Pixels().PictureRow(y), image.Pixels().PictureRow(y) + image.Width() * 4);
    return d;
}

Bytes Grey8(int width, int height) {
    Bytes samples(size_t(width) * height);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 37 + 5);
    return samples;
}

Bytes SmallGreyPng(size_t idatPieces = 1) {
    return Builder().Header(5, 4, 8, 0).Data(test_png::Plain(Grey8(5, 4), 5, 4, 1), idatPieces).End();
}

TEST(PngDecoder, RecognisesOnlyPngInsideItsWindow) {
    gdiplus::SetDisabled(true);
    Bytes png = SmallGreyPng();
    c32bppDIB image;
    EXPECT_FALSE(cPNGparser().LoadStream(png, image, 0, 7, 0));
    EXPECT_FALSE(cPNGparser().LoadStream(png, image, -1, 8, 0));
    EXPECT_FALSE(cPNGparser().LoadStream(png, image, 1, static_cast<int64_t>(png.size()), 0));
    Bytes shifted = {0, 0, 0};
    shifted.insert(shifted.end(), png.begin(), png.end());
    EXPECT_TRUE(cPNGparser().LoadStream(shifted, image, 3, static_cast<int64_t>(png.size()), 0));
    EXPECT_NE(image.Handle(), 0u);
    Bytes notPng = png;
    notPng[1] = 'Q';
    gdiplus::SetDisabled(false);
    EXPECT_FALSE(DecodePng(notPng).isPng);
}

TEST(PngDecoder, PixelsAreBottomUpAndIdatMayBeSplit) {
    PngDecoded one = DecodePng(SmallGreyPng(1)), many = DecodePng(SmallGreyPng(7));
    ASSERT_TRUE(one.hasImage);
    EXPECT_EQ(one.bgra, many.bgra);
    EXPECT_FALSE(one.alpha);
    Bytes grey = Grey8(5, 4);
    for (size_t i = 0; i < grey.size(); ++i) {
        EXPECT_EQ(one.bgra[i * 4], grey[i]);
        EXPECT_EQ(one.bgra[i * 4 + 3], 255);
    }
}

TEST(PngDecoder, ChunkRunningOneBytePastTheEndFails) {
    Bytes png = SmallGreyPng();
    png.pop_back();
    PngDecoded d = DecodePng(png);
    EXPECT_TRUE(d.isPng);
    EXPECT_FALSE(d.hasImage);
    Bytes noEnd = SmallGreyPng();
    noEnd.resize(noEnd.size() - 12);  // no IEND at all
    EXPECT_FALSE(DecodePng(noEnd).hasImage);
}

TEST(PngDecoder, ChecksumsAreTestedOnlyWithZlibAndOnlyWhereTheyMatter) {
    const uint32_t wrong = 0x12345678, zero = 0;
    auto withIdatCrc = [](const uint32_t* crc) {
        Bytes raw = test_png::Plain(Grey8(5, 4), 5, 4, 1);
        return Builder().Header(5, 4, 8, 0).Chunk("IDAT", test_png::ZlibStored(raw), crc).End();
    };
    EXPECT_FALSE(DecodePng(withIdatCrc(&wrong), true).hasImage);
    EXPECT_TRUE(DecodePng(withIdatCrc(&wrong), false).hasImage);
    EXPECT_TRUE(DecodePng(withIdatCrc(&zero), true).hasImage);  // 0 is never tested

    Bytes raw = test_png::Plain(Grey8(5, 4), 5, 4, 1);
    Bytes text = Builder().Header(5, 4, 8, 0).Chunk("tEXt", {'a', 0, 'b'}, &wrong).Data(raw).End();
    EXPECT_TRUE(DecodePng(text, true).hasImage);
}

TEST(PngDecoder, HeaderChecks) {
    for (auto [depth, type, interlace, compression, width] :
         std::vector<std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, uint32_t>>{
             {3, 0, 0, 0, 5}, {8, 1, 0, 0, 5}, {8, 0, 2, 0, 5}, {8, 0, 0, 1, 5}, {8, 0, 0, 0, 0},
             {1, 2, 0, 0, 5}, {16, 3, 0, 0, 5}, {8, 0, 0, 0, 0x80000000u}}) {
        Bytes png = Builder().Header(width, 4, depth, type, interlace, compression).Data(Bytes(100)).End();
        PngDecoded d = DecodePng(png);
        EXPECT_TRUE(d.isPng);
        EXPECT_FALSE(d.hasImage) << int(depth) << " " << int(type) << " " << int(interlace);
    }
    EXPECT_EQ(png::CheckHeader(8192, 8192, 1, 0, 0, 0, 0), -1);  // 8192 x 32 x 8192 = 2^31
    EXPECT_GT(png::CheckHeader(8191, 8192, 1, 0, 0, 0, 0), 0);
    EXPECT_EQ(png::CheckHeader(8191, 8192, 1, 0, 0, 0, 0), 8192 * (1024 + 1));
    EXPECT_EQ(png::CheckHeader(INT32_MAX, INT32_MAX, 8, 6, 0, 0, 0), -1);  // the size check itself cannot overflow
}

TEST(PngDecoder, InterlacedEqualsPlain) {
    struct Case {
        int width, height, type, bytesPerPixel;
    } cases[] = {{1, 1, 6, 4}, {1, 9, 0, 1}, {2, 3, 6, 4}, {13, 11, 2, 3}};
    for (const Case& c : cases) {
        Bytes samples(size_t(c.width) * c.height * c.bytesPerPixel);
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 53 + 11);
        auto build = [&](bool interlaced) {
            Bytes raw = interlaced ? test_png::Adam7(samples, c.width, c.height, c.bytesPerPixel)
                                   : test_png::Plain(samples, c.width, c.height, c.bytesPerPixel);
            return Builder().Header(c.width, c.height, 8, c.type, interlaced).Data(raw).End();
        };
        PngDecoded plain = DecodePng(build(false)), interlaced = DecodePng(build(true));
        ASSERT_TRUE(plain.hasImage && interlaced.hasImage) << c.width << "x" << c.height;
        EXPECT_EQ(plain.bgra, interlaced.bgra) << c.width << "x" << c.height;
    }
}

TEST(PngDecoder, FilterSevenIsToleratedOnlyInPlainImages) {
    Bytes samples = Grey8(3, 3);
    Bytes plain = test_png::Plain(samples, 3, 3, 1);
    plain[4] = 7;  // second row
    PngDecoded d = DecodePng(Builder().Header(3, 3, 8, 0).Data(plain).End());
    ASSERT_TRUE(d.hasImage);
    EXPECT_EQ(d.bgra[3 * 4], samples[3]);  // taken as stored
    Bytes interlaced = test_png::Adam7(samples, 3, 3, 1);
    interlaced.back() = 7;
    interlaced[interlaced.size() - 4] = 7;  // the filter byte of pass 7's row
    EXPECT_FALSE(DecodePng(Builder().Header(3, 3, 8, 0, 1).Data(interlaced).End()).hasImage);
}

TEST(PngDecoder, PremultipliesWithTruncation) {
    PngDecoded d = DecodePng(Builder().Header(1, 1, 8, 6).Data({0, 200, 100, 50, 128}).End());
    EXPECT_EQ(d.bgra, (Bytes{25, 50, 100, 128}));
    EXPECT_TRUE(d.alpha);
}

TEST(PngDecoder, PremultipliesEveryColourAndAlphaPair) {
    // Column x holds colour x (red x, green x, blue 255 - x), row y alpha y.
    Bytes samples;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) samples.insert(samples.end(), {uint8_t(x), uint8_t(x), uint8_t(255 - x), uint8_t(y)});
    PngDecoded d = DecodePng(Builder().Header(256, 256, 8, 6).Data(test_png::Plain(samples, 256, 256, 4)).End());
    ASSERT_TRUE(d.hasImage);
    int wrong = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t* p = &d.bgra[(size_t(y) * 256 + x) * 4];
            Bytes expected = {uint8_t((255 - x) * y / 255), uint8_t(x * y / 255), uint8_t(x * y / 255), uint8_t(y)};
            if (Bytes(p, p + 4) != expected) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
}

// Filters the samples with each type in turn, row by row, the way an encoder
// does: the stored byte is the sample minus its predictor.
Bytes FilterRows(const Bytes& samples, size_t rowBytes, size_t distance) {
    Bytes out;
    const size_t rows = samples.size() / rowBytes;
    for (size_t r = 0; r < rows; ++r) {
        const uint8_t type = static_cast<uint8_t>(r % 5);
        out.push_back(type);
        for (size_t i = 0; i < rowBytes; ++i) {
            auto at = [&](size_t row, size_t col) { return int(samples[row * rowBytes + col]); };
            int a = i >= distance ? at(r, i - distance) : 0, b = r > 0 ? at(r - 1, i) : 0;
            int c = i >= distance && r > 0 ? at(r - 1, i - distance) : 0;
            int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            int predictor[5] = {0, a, b, (a + b) / 2, paeth};
            out.push_back(static_cast<uint8_t>(at(r, i) - predictor[type]));
        }
    }
    return out;
}

TEST(PngDecoder, EveryFilterAtEveryPixelSize) {
    struct Case {
        uint8_t colourType, depth;
        size_t bytesPerPixel;
    } cases[] = {{0, 8, 1}, {4, 8, 2}, {2, 8, 3}, {6, 8, 4}, {2, 16, 6}, {6, 16, 8}};
    const int width = 37, height = 11;
    uint32_t state = 99;
    for (const Case& c : cases) {
        // Random samples; alpha (high byte at 16 bits) opaque, so that the
        // pixels show the samples unchanged.
        Bytes samples(size_t(width) * height * c.bytesPerPixel);
        for (size_t i = 0; i < samples.size(); ++i) {
            state = state * 1103515245u + 12345u;
            samples[i] = static_cast<uint8_t>(state >> 23);
        }
        const size_t alpha = c.colourType == 4 ? c.bytesPerPixel / 2 : c.colourType == 6 ? c.bytesPerPixel * 3 / 4 : 0;
        if (alpha != 0)
            for (size_t i = alpha; i < samples.size(); i += c.bytesPerPixel) samples[i] = 255;
        Bytes file = Builder()
                         .Header(width, height, c.depth, c.colourType)
                         .Data(FilterRows(samples, width * c.bytesPerPixel, c.bytesPerPixel))
                         .End();
        PngDecoded d = DecodePng(file);
        ASSERT_TRUE(d.hasImage) << int(c.colourType) << "/" << int(c.depth);
        const size_t step = c.depth / 8;
        Bytes expected;
        for (size_t at = 0; at < samples.size(); at += c.bytesPerPixel) {
            const uint8_t* s = &samples[at];
            if (c.colourType == 0 || c.colourType == 4)
                expected.insert(expected.end(), {s[0], s[0], s[0], 255});
            else
                expected.insert(expected.end(), {s[2 * step], s[step], s[0], 255});
        }
        EXPECT_EQ(d.bgra, expected) << int(c.colourType) << "/" << int(c.depth);
    }
}

TEST(PngDecoder, DefaultPalettes) {
    // 2-bit grey: 0, 1, 2, 3 in one byte.
    PngDecoded grey = DecodePng(Builder().Header(4, 1, 2, 0).Data({0, 0x1B}).End());
    ASSERT_TRUE(grey.hasImage);
    EXPECT_EQ((Bytes{grey.bgra[0], grey.bgra[4], grey.bgra[8], grey.bgra[12]}), (Bytes{0, 85, 170, 255}));
    // 1-bit palette without PLTE: black and white.
    PngDecoded palette = DecodePng(Builder().Header(2, 1, 1, 3).Data({0, 0x40}).End());
    ASSERT_TRUE(palette.hasImage);
    EXPECT_EQ(palette.bgra, (Bytes{0, 0, 0, 255, 255, 255, 255, 255}));
}

TEST(PngDecoder, TransparencyKeysAndTables) {
    // 16-bit grey keyed 0x1234: every sample with high byte 0x12 is transparent.
    PngDecoded grey16 = DecodePng(
        Builder().Header(3, 1, 16, 0).Chunk("tRNS", {0x12, 0x34}).Data({0, 0x12, 0x34, 0x12, 0x99, 0x13, 0x34}).End());
    EXPECT_EQ(grey16.bgra, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0x13, 0x13, 0x13, 255}));
    EXPECT_TRUE(grey16.alpha);

    // 8-bit RGB keyed pure green.
    PngDecoded rgb = DecodePng(Builder()
                             .Header(2, 1, 8, 2)
                             .Chunk("tRNS", {0, 0, 0, 255, 0, 0})
                             .Data({0, 0, 255, 0, 0, 255, 1})
                             .End());
    EXPECT_EQ(rgb.bgra, (Bytes{0, 0, 0, 0, 1, 255, 0, 255}));

    // A palette with three tRNS entries: the rest opaque; an index beyond the palette fails.
    Bytes plte = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150};
    PngDecoded table = DecodePng(
        Builder().Header(5, 1, 8, 3).Chunk("PLTE", plte).Chunk("tRNS", {0, 255, 51}).Data({0, 0, 1, 2, 3, 4}).End());
    EXPECT_EQ(table.bgra, (Bytes{0, 0, 0, 0, 60, 50, 40, 255, 18, 16, 14, 51, 120, 110, 100, 255, 150, 140, 130, 255}));
    EXPECT_FALSE(
        DecodePng(Builder().Header(2, 1, 8, 3).Chunk("PLTE", plte).Data({0, 4, 5}).End()).hasImage);

    // PLTE in a grey image and tRNS in an RGBA image are ignored.
    PngDecoded ignored = DecodePng(Builder()
                                 .Header(1, 1, 8, 0)
                                 .Chunk("PLTE", {1, 2})  // not even a multiple of 3
                                 .Data({0, 77})
                                 .End());
    EXPECT_EQ(ignored.bgra, (Bytes{77, 77, 77, 255}));
    PngDecoded rgba = DecodePng(Builder().Header(1, 1, 8, 6).Chunk("tRNS", {1}).Data({0, 1, 2, 3, 255}).End());
    EXPECT_EQ(rgba.bgra, (Bytes{3, 2, 1, 255}));
}

// Random image data in the format's row layout, the filter bytes cycling
// through 0 to 4; a filter byte of 5 or 7 where asked.
Bytes FilteredData(const png::ImageFormat& f, bool interlaced, size_t oddFilterAt = 0, uint8_t oddFilter = 0) {
    Bytes data;
    uint32_t state = 7;
    for (int i = interlaced ? 0 : png::kWholeImagePass; i < (interlaced ? png::kWholeImagePass : 8); ++i) {
        const int64_t columns = png::PassColumns(f, png::kPasses[i]), rows = png::PassRows(f, png::kPasses[i]);
        for (int64_t r = 0; columns > 0 && r < rows; ++r) {
            data.push_back(static_cast<uint8_t>(data.size() % 5));
            for (int64_t k = 0; k < png::RowBytes(f, columns); ++k) {
                state = state * 1103515245u + 12345u;
                data.push_back(static_cast<uint8_t>(state >> 23));
            }
        }
    }
    if (oddFilterAt != 0) data[oddFilterAt] = oddFilter;
    return data;
}

// Decodes a zlib stream through the row decoder: inflated whole into one
// buffer (partBytes 0), or handed over as the windowed inflater's parts.
// The pixels, or nothing when decoding failed.
Bytes DecodeRows(const png::ImageFormat& f, bool interlaced, const Bytes& stream, size_t partBytes) {
    png::Colours colours;
    colours.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90};  // three entries: 2-bit index 3 fails
    png::PreparePalette(f, colours);
    c32bppDIB image;
    image.InitializeDIB(f.width, f.height);
    png::RowDecoder rows(f, colours, interlaced, OutputRows::Of(image.Pixels()));
    const size_t expected = static_cast<size_t>(png::ExpectedInflatedSize(f, interlaced));
    bool ok = true;
    if (partBytes == 0) {
        Bytes whole(expected);
        ok = InflateZlibStream(stream, whole) && rows.Feed(whole);
    } else {
        WindowedInflater inflater(stream, expected, partBytes);
        for (std::span<const uint8_t> part; ok && (ok = inflater.Next(part)) && !part.empty();) ok = rows.Feed(part);
    }
    if (!ok || !rows.Finish()) return {};
    const uint8_t* bits = image.Pixels().bits;
    return Bytes(bits, bits + image.Pixels().PixelCount() * 4);
}

TEST(PngDecoder, RowsCutAtEveryWindowBoundaryDecodeAsFromOneBuffer) {
    struct Case {
        const char* name;
        png::ImageFormat format;
        bool interlaced;
        size_t oddFilterAt;  // 0: none
        uint8_t oddFilter;
        bool cutEverywhere;
    } cases[] = {
        {"RGBA, interlaced", {13, 11, 8, 6}, true, 0, 0, true},
        {"palette, 2-bit, interlaced, a bad index", {10, 9, 2, 3}, true, 0, 0, true},
        {"grey, interlaced, filter 5 in pass 7", {6, 6, 8, 0}, true, 35, 5, true},
        {"grey, 1-bit, rows wider than the window", {100, 3, 1, 0}, false, 0, 0, true},
        {"RGB, 16-bit, filter 7 kept", {9, 5, 16, 2}, false, 55, 7, true},
        {"grey, 16-bit, rows wider than the history", {40000, 2, 16, 0}, false, 0, 0, false},
    };
    for (const Case& c : cases) {
        const Bytes data = FilteredData(c.format, c.interlaced, c.oddFilterAt, c.oddFilter);
        // Whole, then ending early at every byte (or a few): the rest counts as zeros.
        std::vector<size_t> ends;
        for (size_t end = 0; end <= data.size(); end += c.cutEverywhere ? 1 : 40001) ends.push_back(end);
        ends.push_back(data.size());
        int failures = 0;
        for (size_t end : ends) {
            const Bytes stream = test_png::ZlibStored(Bytes(data.begin(), data.begin() + end));
            const Bytes whole = DecodeRows(c.format, c.interlaced, stream, 0);
            failures += whole.empty();
            for (size_t partBytes : {size_t{1}, size_t{3}, size_t{64}, size_t{4096}}) {
                if (!c.cutEverywhere && partBytes < 64) continue;
                EXPECT_TRUE(DecodeRows(c.format, c.interlaced, stream, partBytes) == whole)
                    << c.name << ", ending at " << end << ", parts of " << partBytes;
            }
        }
        // The bad index and the filter 5 fail once the data reaches them, and only then.
        const bool failsSomewhere = c.format.colourType == 3 || c.oddFilter == 5;
        EXPECT_EQ(failures > 0, failsSomewhere) << c.name;
        EXPECT_LT(failures, static_cast<int>(ends.size())) << c.name;
    }
}

}  // namespace

