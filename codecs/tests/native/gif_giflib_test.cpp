// The GIF decoder held to giflib: giflib's decoding of the test files, and
// images that giflib's encoder wrote.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "codecs/cGIFparser.h"
#include "imagecore/c32bppDIB.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Memory {
    const Bytes* bytes;
    size_t at = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* memory = static_cast<Memory*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(count), memory->bytes->size() - memory->at);
    std::memcpy(buffer, memory->bytes->data() + memory->at, n);
    memory->at += n;
    return static_cast<int>(n);
}

int WriteMemory(GifFileType* gif, const GifByteType* buffer, int count) {
    static_cast<Bytes*>(gif->UserData)->insert(static_cast<Bytes*>(gif->UserData)->end(), buffer, buffer + count);
    return count;
}

// giflib's first image: premultiplied 0xAARRGGBB, top row first, with the
// transparency of the last control block before it.
struct Reference {
    int width = 0, height = 0;
    bool alpha = false;
    std::vector<uint32_t> pixels;
};

bool GiflibDecode(const Bytes& file, Reference& out) {
    Memory memory{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&memory, ReadMemory, &error);
    if (!gif) return false;
    bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
    if (ok) {
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        int transparent = -1;
        for (int i = 0; i < image.ExtensionBlockCount; ++i) {
            const ExtensionBlock& block = image.ExtensionBlocks[i];
            GraphicsControlBlock control;
            if (block.Function == GRAPHICS_EXT_FUNC_CODE &&
                DGifExtensionToGCB(block.ByteCount, block.Bytes, &control) == GIF_OK)
                transparent = control.TransparentColor;
        }
        out.width = image.ImageDesc.Width, out.height = image.ImageDesc.Height;
        out.alpha = transparent >= 0;
        for (int i = 0; i < out.width * out.height; ++i) {
            int index = image.RasterBits[i];
            uint32_t colour = 0xFF000000u;
            if (index == transparent)
                colour = 0;
            else if (map && index < map->ColorCount)
                colour |= uint32_t{map->Colors[index].Red} << 16 | map->Colors[index].Green << 8 | map->Colors[index].Blue;
            out.pixels.push_back(colour);
        }
    }
    DGifCloseFile(gif, &error);
    return ok;
}

void ExpectSameAsReference(const Bytes& file, const Reference& expected) {
    c32bppDIB image;
    ASSERT_TRUE(cGIFparser().LoadStream(file, image, 0, static_cast<int64_t>(file.size())));
    ASSERT_NE(image.Handle(), 0u);
    ASSERT_EQ(image.Width(), expected.width);
    ASSERT_EQ(image.Height(), expected.height);
    EXPECT_EQ(image.Alpha(), expected.alpha);
    EXPECT_EQ(image.ImageType(), imgGIF);
    for (int y = 0; y < expected.height; ++y) {
        const uint8_t* row = image.Pixels().PictureRow(y);
        for (int x = 0; x < expected.width; ++x) {
            uint32_t ours;
            std::memcpy(&ours, row + 4 * x, 4);
            ASSERT_EQ(ours, expected.pixels[size_t(y) * expected.width + x]) << "at " << x << ", " << y;
        }
    }
}

TEST(GifAgainstGiflib, TestFiles) {
    const fs::path folder = MENDLOW_GIF_DATA_DIR;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".gif") continue;
        SCOPED_TRACE(entry.path().filename().string());
        Bytes file = ReadFile(entry.path());
        Reference expected;
        ASSERT_TRUE(GiflibDecode(file, expected));
        ExpectSameAsReference(file, expected);
        ++files;
    }
    EXPECT_GE(files, 10);
}

// giflib's encoder: one image with the given table, optionally a control block.
Bytes GiflibEncode(int width, int height, int tableEntries, const Bytes& indices, bool interlaced, int transparent,
                   std::mt19937& random) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteMemory, &error);
    std::vector<GifColorType> colours(tableEntries);
    for (auto& c : colours) c = {static_cast<GifByteType>(random()), static_cast<GifByteType>(random()),
                                 static_cast<GifByteType>(random())};
    gif->SWidth = width, gif->SHeight = height, gif->SColorResolution = 8, gif->SBackGroundColor = 0;
    gif->SColorMap = GifMakeMapObject(tableEntries, colours.data());
    SavedImage* image = GifMakeSavedImage(gif, nullptr);
    image->ImageDesc = {0, 0, width, height, interlaced, nullptr};
    image->RasterBits = static_cast<GifByteType*>(malloc(indices.size()));
    std::memcpy(image->RasterBits, indices.data(), indices.size());
    if (transparent >= 0) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparent};
        EGifGCBToSavedExtension(&control, gif, 0);
    }
    EXPECT_EQ(EGifSpew(gif), GIF_OK);  // also frees
    return out;
}

TEST(GifAgainstGiflib, ImagesFromGiflibsEncoder) {
    std::mt19937 random(2024);
    for (int round = 0; round < 120; ++round) {
        const int bits = 1 + round % 8;
        const int entries = 1 << bits;
        const int width = 1 + static_cast<int>(random() % 150), height = 1 + static_cast<int>(random() % 90);
        const bool interlaced = round % 3 == 0;
        const int transparent = round % 4 == 0 ? static_cast<int>(random() % entries) : -1;
        // Runs of varying length: long ones fill the table slowly, short ones quickly.
        Bytes indices(size_t(width) * height);
        const uint32_t run = 1 + random() % 40;
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = static_cast<uint8_t>(random() % run == 0 ? random() % entries : (i / run) % entries);
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << width << " x " << height << ", " << bits
                                        << " bits");
        Bytes file = GiflibEncode(width, height, entries, indices, interlaced, transparent, random);
        Reference expected;
        ASSERT_TRUE(GiflibDecode(file, expected));
        for (size_t i = 0; i < indices.size(); ++i) {  // giflib read back what it wrote
            ASSERT_EQ(expected.pixels[i] == 0, int(indices[i]) == transparent) << i;
        }
        ExpectSameAsReference(file, expected);
    }
}

}  // namespace
