// Every PngSuite image against libpng, after this decoder's rules: samples
// reduced to their high byte, no gamma, colour keys on the stored bytes,
// premultiplied with truncation. Images named x* are broken: no image.
#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codecs/cPNGparser.h"
#include "codecs/modParsers.h"
#include "codecs/tests/pngsuite_golden.h"
#include "imagecore/c32bppDIB.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Reference {
    int width = 0, height = 0;
    Bytes bgra;  // premultiplied, top row first
};

// libpng's view of the file, turned into what the decoder promises.
bool DecodeWithLibpng(const fs::path& path, Reference& out) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<Bytes> rows;
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_read_info(png, info);
        int colourType = png_get_color_type(png, info), depth = png_get_bit_depth(png, info);
        png_bytep trans = nullptr;
        int transCount = 0;
        png_color_16p transColour = nullptr;
        bool keyed = png_get_tRNS(png, info, &trans, &transCount, &transColour) != 0;
        // Colour keys are applied below on the stored samples; palettes take theirs as alpha.
        if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
        if (colourType == PNG_COLOR_TYPE_PALETTE && keyed) png_set_tRNS_to_alpha(png);
        if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
        if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
        if (!(colourType & PNG_COLOR_MASK_ALPHA) && !(colourType == PNG_COLOR_TYPE_PALETTE && keyed))
            png_set_add_alpha(png, depth == 16 ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        out.width = static_cast<int>(png_get_image_width(png, info));
        out.height = static_cast<int>(png_get_image_height(png, info));
        size_t rowBytes = png_get_rowbytes(png, info);
        rows.assign(out.height, Bytes(rowBytes));
        std::vector<png_bytep> pointers;
        for (Bytes& row : rows) pointers.push_back(row.data());
        png_read_image(png, pointers.data());

        // Keys compare the stored samples: the whole sample at depths up to
        // 8, the high byte only at depth 16.
        const bool greyKey = keyed && colourType == PNG_COLOR_TYPE_GRAY;
        const bool rgbKey = keyed && colourType == PNG_COLOR_TYPE_RGB;
        int greyScale = depth < 8 ? 255 / ((1 << depth) - 1) : 1;
        const int sample = depth == 16 ? 2 : 1;
        out.bgra.assign(size_t(out.width) * out.height * 4, 0);
        for (int y = 0; y < out.height; ++y) {
            for (int x = 0; x < out.width; ++x) {
                const uint8_t* p = rows[y].data() + x * 4 * sample;
                unsigned r = p[0], g = p[sample], b = p[2 * sample], a = p[3 * sample];
                if (greyKey) {
                    bool match = depth == 16 ? p[0] == (transColour->gray >> 8)
                                             : r == ((transColour->gray & 0xFF) * greyScale & 0xFF);
                    if (match) a = 0;
                } else if (rgbKey) {
                    bool match = depth == 16 ? p[0] == (transColour->red >> 8) && p[2] == (transColour->green >> 8) &&
                                                   p[4] == (transColour->blue >> 8)
                                             : r == (transColour->red & 0xFF) && g == (transColour->green & 0xFF) &&
                                                   b == (transColour->blue & 0xFF);
                    if (match) a = 0;
                }
                uint8_t* q = out.bgra.data() + (size_t(y) * out.width + x) * 4;
                if (a == 0) continue;
                q[0] = static_cast<uint8_t>(b * a / 255);
                q[1] = static_cast<uint8_t>(g * a / 255);
                q[2] = static_cast<uint8_t>(r * a / 255);
                q[3] = static_cast<uint8_t>(a);
            }
        }
        ok = true;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return ok;
}

Bytes TopDown(const c32bppDIB& image) {
    Bytes out;
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* row = image.Pixels().PictureRow(y);
        out.insert(out.end(), row, row + image.Width() * 4);
    }
    return out;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class PngSuite : public ::testing::TestWithParam<bool> {};

TEST_P(PngSuite, EveryImageMatchesTheReferenceAndBrokenOnesGiveNone) {
    const fs::path folder = MENDLOW_PNGSUITE_DIR;
    if (!fs::exists(folder)) GTEST_SKIP() << "PngSuite not found at " << folder;
    modParsers::SetZlibDisabled(!GetParam());
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path& path = entry.path();
        if (path.extension() != ".png") continue;
        const std::string name = path.filename().string();
        Bytes bytes = ReadFile(path);
        c32bppDIB image;
        cPNGparser parser;
        bool isPng = parser.LoadStream(bytes, image, 0, static_cast<int64_t>(bytes.size()), 0);
        if (name[0] == 'x') {
            // Broken checksums go unnoticed without zlib, by design.
            bool checksumOnly = name == "xcsn0g01.png" || name == "xhdn0g08.png";
            if (GetParam() || !checksumOnly) {
                EXPECT_EQ(image.Handle(), 0u) << name << " is broken but gave an image";
            }
            continue;
        }
        EXPECT_TRUE(isPng) << name;
        Reference reference;
        ASSERT_TRUE(DecodeWithLibpng(path, reference)) << name;
        ASSERT_NE(image.Handle(), 0u) << name << " gave no image";
        ASSERT_EQ(image.Width(), reference.width) << name;
        ASSERT_EQ(image.Height(), reference.height) << name;
        EXPECT_TRUE(TopDown(image) == reference.bgra) << name << " differs from libpng";
        EXPECT_EQ(image.ImageType(), imgPNG) << name;
        ++checked;
    }
    modParsers::SetZlibDisabled(false);
    EXPECT_GT(checked, 140);
}

// The expected decodes that every target is held to are libpng's.
TEST(PngSuiteGolden, EveryLineMatchesLibpng) {
    const fs::path folder = MENDLOW_PNGSUITE_DIR;
    if (!fs::exists(folder)) GTEST_SKIP() << "PngSuite not found at " << folder;
    if (const char* out = std::getenv("MENDLOW_WRITE_PNGSUITE_GOLDEN")) {
        std::ofstream golden(out);
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".png" && entry.path().filename().string()[0] != 'x')
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& path : files) {
            Reference reference;
            ASSERT_TRUE(DecodeWithLibpng(path, reference));
            golden << path.filename().string() << " " << reference.width << " " << reference.height << " " << std::hex
                   << pngsuite::Fnv1a(reference.bgra) << std::dec << "\n";
        }
    }
    auto golden = pngsuite::ReadGolden(MENDLOW_PNGSUITE_GOLDEN);
    ASSERT_GT(golden.size(), 140u);
    for (const auto& [name, expected] : golden) {
        Reference reference;
        ASSERT_TRUE(DecodeWithLibpng(folder / name, reference)) << name;
        EXPECT_EQ(reference.width, expected.width) << name;
        EXPECT_EQ(reference.height, expected.height) << name;
        EXPECT_EQ(pngsuite::Fnv1a(reference.bgra), expected.hash) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutZlib, PngSuite, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "zlib" : "builtin_inflater"; });

}  // namespace
