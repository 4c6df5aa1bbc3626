// The PNG encoder: the colour type it chooses, the bytes it writes, and
// that our decoder reads every output back to the pixels the arithmetic
// predicts.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "codecs/cPNGparser.h"
#include "codecs/cPNGwriter.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/modParsers.h"
#include "codecs/png_colour_plan.h"
#include "codecs/png_row_filter.h"
#include "codecs/tests/png_encoder_images.h"
#include "codecs/zlib_binding.h"

namespace {

using namespace test_encoder;

Bytes Encode(const c32bppDIB& image) {
    Bytes png;
    EXPECT_TRUE(cPNGwriter().SavePNG(image, L"", png));
    return png;
}

int ColourType(const Bytes& png) { return png.size() > 25 ? png[25] : -1; }

// The inflated IDAT data: filter byte and samples of each row.
Bytes StoredRows(const Bytes& png, size_t expectedSize) {
    const std::vector<Chunk> chunks = Chunks(png);
    const Chunk* idat = Find(chunks, "IDAT");
    if (!idat) return {};
    Bytes rows(expectedSize);
    uint32_t length = static_cast<uint32_t>(rows.size());
    ZlibBinding zlib;
    if (zlib.Uncompress(rows.data(), length, idat->data.data(), static_cast<uint32_t>(idat->data.size())) != 0 ||
        length != expectedSize)
        return {};
    return rows;
}

class PngEncoder : public ::testing::Test {
protected:
    // Our decoder, not GDI+, reads the outputs back.
    void SetUp() override { gdiplus::SetDisabled(true); }
    void TearDown() override {
        gdiplus::SetDisabled(false);
        modParsers::SetZlibDisabled(false);
    }
};

TEST_F(PngEncoder, EveryColourTypeDecodesToThePredictedPixels) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        c32bppDIB image;
        Fill(image, c.width, c.height, c.alpha, c.pixel);
        const Bytes png = Encode(image);
        EXPECT_EQ(ColourType(png), c.colourType);
        const std::vector<Chunk> chunks = Chunks(png);
        ASSERT_FALSE(chunks.empty());
        EXPECT_EQ(chunks.back().type, "IEND");
        EXPECT_EQ(Find(chunks, "tRNS") != nullptr, c.hasTrns);
        EXPECT_EQ(Find(chunks, "PLTE") != nullptr, c.colourType == 3);

        c32bppDIB decoded;
        ASSERT_TRUE(cPNGparser().LoadStream(png, decoded, 0, static_cast<int64_t>(png.size()), 0));
        ASSERT_EQ(decoded.Width(), c.width);
        ASSERT_EQ(decoded.Height(), c.height);
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const Bgra want = AfterRoundTrip(c.pixel(x, y), c.alpha);
                const uint8_t* got = decoded.Pixels().PictureRow(y) + x * 4;
                if (std::memcmp(got, &want, 4) != 0 && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << int(got[0]) << " " << int(got[1]) << " "
                                  << int(got[2]) << " " << int(got[3]) << " instead of " << int(want.b) << " "
                                  << int(want.g) << " " << int(want.r) << " " << int(want.a);
            }
        EXPECT_EQ(wrong, 0);
    }
}

// Random images over every mix of colour count, greyness and alpha kind.
TEST_F(PngEncoder, RandomImagesDecodeToThePredictedPixels) {
    uint32_t state = 12345;
    for (int round = 0; round < 60; ++round) {
        const uint32_t colours = std::array<uint32_t, 4>{2, 40, 256, 1u << 24}[round % 4];
        // Enough pixels for more than 256 colours where there can be that many.
        const int least = colours > 256 ? 20 : 1;
        const int width = least + int(Noise(state) % 70), height = least + int(Noise(state) % 20);
        const bool grey = round % 5 == 0;
        const int alphaKind = round / 4 % 3;  // opaque, 0 or 255, any
        std::vector<Bgra> pixels(size_t(width) * height);
        for (Bgra& p : pixels) {
            const uint32_t c = Noise(state) % colours;
            const int a = alphaKind == 0 ? 255 : alphaKind == 1 ? (c % 5 ? 255 : 0) : int(c * 37 % 256);
            const int r = int(c & 255), g = grey ? r : int(c >> 8 & 255), b = grey ? r : int(c >> 16 & 255);
            p = Premultiplied(r, g, b, a);
        }
        c32bppDIB image;
        Fill(image, width, height, alphaKind != 0, [&](int x, int y) { return pixels[size_t(y) * width + x]; });
        const Bytes png = Encode(image);
        c32bppDIB decoded;
        ASSERT_TRUE(cPNGparser().LoadStream(png, decoded, 0, static_cast<int64_t>(png.size()), 0)) << round;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Bgra want = AfterRoundTrip(pixels[size_t(y) * width + x], alphaKind != 0);
                ASSERT_EQ(std::memcmp(decoded.Pixels().PictureRow(y) + x * 4, &want, 4), 0)
                    << "round " << round << " pixel " << x << "," << y << " colour type " << ColourType(png);
            }
    }
}

TEST_F(PngEncoder, OutputStartsWithSignatureAndHeader) {
    c32bppDIB image;
    Fill(image, 300, 2, false, [](int x, int y) { return Bgra{uint8_t(x), uint8_t(y), uint8_t(x / 2), 255}; });
    const Bytes png = Encode(image);
    const Bytes start = {137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                         0,   0,  1,  44, 0,  0,  0,  2,  8, 2, 0, 0,  0};
    ASSERT_GE(png.size(), start.size());
    EXPECT_TRUE(std::equal(start.begin(), start.end(), png.begin()));
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
}

TEST_F(PngEncoder, PaletteHoldsUpTo256ColoursThenRgb) {
    for (int colours : {256, 257}) {
        c32bppDIB image;
        Fill(image, colours, 1, false, [](int x, int) { return Bgra{uint8_t(x), 9, uint8_t(x >> 8), 255}; });
        const Bytes png = Encode(image);
        const std::vector<Chunk> chunks = Chunks(png);
        EXPECT_EQ(Find(chunks, "tRNS"), nullptr);
        if (colours == 256) {
            EXPECT_EQ(ColourType(png), 3);
            ASSERT_NE(Find(chunks, "PLTE"), nullptr);
            EXPECT_EQ(Find(chunks, "PLTE")->data.size(), 768u);
            // Without transparency the entries keep ascending order; rows are not filtered.
            const Bytes rows = StoredRows(png, 257);
            ASSERT_EQ(rows.size(), 257u);
            EXPECT_EQ(rows[0], 0);
            EXPECT_EQ(rows[1], 0);
            EXPECT_EQ(rows[256], 255);
        } else {
            EXPECT_EQ(ColourType(png), 2);
        }
    }
}

TEST_F(PngEncoder, BlackAndWhiteBecomesGrey) {
    c32bppDIB image;
    Fill(image, 3, 2, false, [](int x, int y) {
        uint8_t v = (x + y) % 2 ? 255 : 0;
        return Bgra{v, v, v, 255};
    });
    const Bytes png = Encode(image);
    EXPECT_EQ(ColourType(png), 0);
    EXPECT_EQ(Find(Chunks(png), "tRNS"), nullptr);
    EXPECT_EQ(StoredRows(png, 8), (Bytes{0, 0, 255, 0, 0, 255, 0, 255}));
}

// The key is the lowest level no visible pixel uses; with Alpha there is
// always one, transparent pixels or not.
TEST_F(PngEncoder, GreyKeyIsTheLowestUnusedVisibleLevel) {
    struct {
        int firstLevel, levels;
        bool transparent;
        uint8_t key;
    } cases[] = {{20, 5, true, 0}, {0, 10, true, 10}, {0, 10, false, 10}, {1, 3, false, 0}};
    for (const auto& c : cases) {
        c32bppDIB image;
        Fill(image, c.levels + 1, 1, true, [&](int x, int) {
            if (x == c.levels) {
                if (c.transparent) return Bgra{0, 0, 0, 0};
                x = 0;
            }
            auto v = uint8_t(c.firstLevel + x);
            return Bgra{v, v, v, 255};
        });
        const Bytes png = Encode(image);
        EXPECT_EQ(ColourType(png), 0);
        const std::vector<Chunk> chunks = Chunks(png);
        const Chunk* trns = Find(chunks, "tRNS");
        ASSERT_NE(trns, nullptr);
        EXPECT_EQ(trns->data, (Bytes{0, c.key}));
        if (c.transparent) {
            EXPECT_EQ(StoredRows(png, size_t(c.levels) + 2).back(), c.key);
        }
    }
}

// (10, 20, 30, 128) is negative as a signed value: it sorts before the
// transparent 0 and leads the palette.
TEST_F(PngEncoder, PaletteOrderPutsNegativeValuesFirst) {
    c32bppDIB image;
    Fill(image, 4, 1, true, [](int x, int) {
        switch (x) {
            case 0: return Bgra{0, 0, 0, 0};
            case 1: return Bgra{10, 20, 30, 128};
            case 2: return Bgra{1, 2, 3, 255};
            default: return Bgra{200, 2, 3, 255};
        }
    });
    const Bytes png = Encode(image);
    EXPECT_EQ(ColourType(png), 3);
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_NE(Find(chunks, "tRNS"), nullptr);
    EXPECT_EQ(Find(chunks, "tRNS")->data, (Bytes{128, 0}));
    // Opaque entries fill from the end: ascending values get descending indexes.
    EXPECT_EQ(Find(chunks, "PLTE")->data,
              (Bytes{59, 39, 19, 0, 0, 0, 3, 2, 200, 3, 2, 1}));
    EXPECT_EQ(StoredRows(png, 5), (Bytes{0, 1, 0, 3, 2}));
}

// Blue levels 0 to 6 are visible, 7 is not: the key colour is (7, 7, 7).
TEST_F(PngEncoder, ColourKeyFromTheFirstChannelWithAnUnusedLevel) {
    for (bool blueSixUsed : {true, false}) {
        c32bppDIB image;
        Fill(image, 40, 20, true, [&](int x, int y) {
            if (x == 0 && y == 0) return Bgra{0, 0, 0, 0};
            int blue = (x + y) % 7;
            if (!blueSixUsed && blue == 6) blue = 8;
            if (x > 30) blue = 100 + x;
            return Bgra{uint8_t(blue), uint8_t(x * 6), uint8_t(y * 12), 255};
        });
        const Bytes png = Encode(image);
        EXPECT_EQ(ColourType(png), 2);
        const uint8_t key = blueSixUsed ? 7 : 6;
        const std::vector<Chunk> chunks = Chunks(png);
        const Chunk* trns = Find(chunks, "tRNS");
        ASSERT_NE(trns, nullptr);
        EXPECT_EQ(trns->data, (Bytes{0, key, 0, key, 0, key}));
    }
}

TEST_F(PngEncoder, RgbaIsStraightTruncatedAndPaethFiltered) {
    c32bppDIB image;
    Fill(image, 300, 4, true, [](int x, int y) {
        if (x == 0 && y == 0) return Bgra{25, 50, 100, 128};
        return Premultiplied(x % 256, y * 40, 90, 1 + x % 250);
    });
    const Bytes png = Encode(image);
    ASSERT_EQ(ColourType(png), 6);
    const size_t stride = 300 * 4 + 1;
    const Bytes rows = StoredRows(png, stride * 4);
    ASSERT_EQ(rows.size(), stride * 4);
    for (size_t r = 0; r < 4; ++r) EXPECT_EQ(rows[r * stride], 4) << "row " << r;
    // The first pixel has nothing left or above: its bytes are stored as they are.
    EXPECT_EQ(Bytes(rows.begin() + 1, rows.begin() + 5), (Bytes{199, 99, 49, 128}));
}

TEST_F(PngEncoder, DeclinesWithoutImageOrZlib) {
    Bytes png = {1, 2, 3};
    c32bppDIB empty;
    EXPECT_FALSE(cPNGwriter().SavePNG(empty, L"", png));
    EXPECT_EQ(png, (Bytes{1, 2, 3}));

    c32bppDIB image;
    Fill(image, 2, 2, false, [](int, int) { return Bgra{1, 2, 3, 255}; });
    modParsers::SetZlibDisabled(true);
    EXPECT_FALSE(cPNGwriter().SavePNG(image, L"", png));
    EXPECT_EQ(png, (Bytes{1, 2, 3}));
}

// Colours above their alpha are not premultiplied data: no exact PNG exists.
TEST_F(PngEncoder, FailsOnColoursAboveTheirAlphaAndEmptiesTheOutput) {
    for (int colours : {2, 400}) {  // palette and RGBA
        c32bppDIB image;
        Fill(image, colours, 1, true, [](int x, int) {
            return x == 1 ? Bgra{200, 0, 0, 100} : Bgra{uint8_t(x), uint8_t(x >> 8), 0, 255};
        });
        Bytes png = {1, 2, 3};
        EXPECT_FALSE(cPNGwriter().SavePNG(image, L"", png));
        EXPECT_TRUE(png.empty());
    }
}

// A single partly transparent grey keeps its alpha in a palette, rather
// than turning opaque as a grey sample.
TEST_F(PngEncoder, PartlyTransparentGreyKeepsItsAlpha) {
    c32bppDIB image;
    Fill(image, 3, 1, true, [](int x, int) { return x == 0 ? Bgra{64, 64, 64, 128} : Bgra{200, 200, 200, 255}; });
    const Bytes png = Encode(image);
    EXPECT_EQ(ColourType(png), 3);
    c32bppDIB decoded;
    ASSERT_TRUE(cPNGparser().LoadStream(png, decoded, 0, static_cast<int64_t>(png.size()), 0));
    const Bgra want = AfterRoundTrip({64, 64, 64, 128}, true);
    EXPECT_EQ(std::memcmp(decoded.Pixels().PictureRow(0), &want, 4), 0);
}

// Every grey level visible and nothing transparent: no level is free for a
// key, and none is needed.
TEST_F(PngEncoder, AllGreyLevelsVisibleWritesNoKey) {
    c32bppDIB image;
    Fill(image, 256, 1, true, [](int x, int) { return Bgra{uint8_t(x), uint8_t(x), uint8_t(x), 255}; });
    const Bytes png = Encode(image);
    EXPECT_EQ(ColourType(png), 0);
    EXPECT_EQ(Find(Chunks(png), "tRNS"), nullptr);
}

// Without Alpha every pixel is opaque, whatever its alpha byte holds.
TEST_F(PngEncoder, WithoutAlphaTheAlphaBytesAreIgnored) {
    for (int colours : {3, 300}) {
        c32bppDIB image;
        Fill(image, colours, 1, false, [](int x, int) { return Bgra{uint8_t(x), 77, uint8_t(x >> 8), 0}; });
        const Bytes png = Encode(image);
        EXPECT_EQ(Find(Chunks(png), "tRNS"), nullptr);
        c32bppDIB decoded;
        ASSERT_TRUE(cPNGparser().LoadStream(png, decoded, 0, static_cast<int64_t>(png.size()), 0));
        EXPECT_EQ(decoded.Pixels().PictureRow(0)[3], 255);
        EXPECT_EQ(decoded.Pixels().PictureRow(0)[4 * 2], 2);
    }
}

TEST_F(PngEncoder, WritesTheFileWhenNamed) {
    c32bppDIB image;
    Fill(image, 5, 5, true, [](int x, int y) { return Premultiplied(x * 50, y * 50, 7, 100 + x); });
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "png_encoder_test_out.png";
    Bytes png;
    ASSERT_TRUE(cPNGwriter().SavePNG(image, path.wstring(), png));
    std::ifstream in(path, std::ios::binary);
    const Bytes file{std::istreambuf_iterator<char>(in), {}};
    in.close();
    std::filesystem::remove(path);
    EXPECT_EQ(file, png);

    Bytes kept = {1};
    EXPECT_FALSE(cPNGwriter().SavePNG(image, (path / "no" / "such" / "folder.png").wstring(), kept));
    EXPECT_TRUE(kept.empty());
}

// The format's own statement of the predictor.
int ReferencePaeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

TEST(PngEncoderArithmetic, TablesAndVectorsMatchThePlainFormulas) {
    for (int a = 1; a < 256; ++a)
        for (int c = 0; c <= a; ++c)
            ASSERT_EQ(png_encode::Unpremultiply(uint8_t(c), uint8_t(a)), c * 255 / a) << c << "/" << a;

    uint32_t state = 5;
    for (size_t bpp : {1u, 3u, 4u})
        for (size_t length : {1u, 3u, 4u, 7u, 8u, 9u, 17u, 64u, 123u}) {
            Bytes raw(length), up(length), out(length);
            for (int round = 0; round < 20; ++round) {
                for (size_t i = 0; i < length; ++i) {
                    // Small ranges make the predictor's ties frequent.
                    raw[i] = uint8_t(round % 2 ? Noise(state) : Noise(state) % 4 + 126);
                    up[i] = uint8_t(round % 2 ? Noise(state) : Noise(state) % 4 + 126);
                }
                png_encode::PaethFilterRow(raw.data(), up.data(), length, bpp, out.data());
                for (size_t i = 0; i < length; ++i) {
                    int a = i >= bpp ? raw[i - bpp] : 0, c = i >= bpp ? up[i - bpp] : 0;
                    ASSERT_EQ(out[i], uint8_t(raw[i] - ReferencePaeth(a, up[i], c)))
                        << "bpp " << bpp << " length " << length << " at " << i;
                }
            }
        }
}

}  // namespace
