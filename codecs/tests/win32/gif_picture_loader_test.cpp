// The GIF decoder against the system picture loader, given the same single
// image: the first one, moved to the origin of a screen of its own size.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "codecs/cGIFparser.h"
#include "codecs/modParsers.h"
#include "codecs/tests/gif_builder.h"
#include "imagecore/c32bppDIB.h"
#include "common/ole_handle.h"

namespace {

namespace fs = std::filesystem;
using test_gif::Builder;
using test_gif::Bytes;

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

Picture Read(const c32bppDIB& image) {
    Picture p{image.Width(), image.Height(), {}};
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* row = image.Pixels().PictureRow(y);
        for (int x = 0; x < p.width; ++x) {
            uint32_t v;
            std::memcpy(&v, row + 4 * x, 4);
            p.pixels.push_back(v);
        }
    }
    return p;
}

std::optional<Picture> OursFromGif(const Bytes& gif, bool* alpha = nullptr) {
    c32bppDIB image;
    if (!cGIFparser().LoadStream(gif, image, 0, static_cast<int64_t>(gif.size())) || image.Handle() == 0)
        return std::nullopt;
    if (alpha) *alpha = image.Alpha();
    return Read(image);
}

// The loader's picture drawn into a 32-bit image at its bitmap's size; alpha bytes set to 255.
std::optional<Picture> Loader(const Bytes& gif) {
    win32::ComPtr<IPicture> picture = modParsers::ArrayToPicture(gif);
    if (!picture) return std::nullopt;
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    BITMAP bitmap{};
    if (!GetObject(win32::FromOleHandle<HBITMAP>(handle), sizeof bitmap, &bitmap))
        return std::nullopt;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    c32bppDIB target;
    if (!target.InitializeDIB(bitmap.bmWidth, bitmap.bmHeight)) return std::nullopt;
    HDC dc = target.LoadDIBinDC(true);
    picture->Render(dc, 0, 0, bitmap.bmWidth, bitmap.bmHeight, 0, height, width, -height, nullptr);
    GdiFlush();
    target.LoadDIBinDC(false);
    Picture p = Read(target);
    for (auto& v : p.pixels) v |= 0xFF000000u;
    return p;
}

// Where the pieces of a well-formed file are.
struct Layout {
    size_t headerLength = 0, image = 0, imageEnd = 0;
    size_t table = 0, entries = 0;
    int transparent = -1;
};

size_t SkipSubBlocks(const Bytes& f, size_t p) {
    while (f[p] != 0) p += 1 + f[p];
    return p + 1;
}

Layout Find(const Bytes& f) {
    Layout l;
    const size_t global = f[10] & 0x80 ? size_t{2} << (f[10] & 7) : 0;
    l.headerLength = 13 + 3 * global;
    size_t p = l.headerLength;
    while (f[p] != 0x2C) {
        if (f[p] == 0) {
            ++p;
        } else if (f[p + 1] == 0xF9) {
            l.transparent = f[p + 3] & 1 ? f[p + 6] : -1;
            p += 8;
        } else if (f[p + 1] == 0xFF) {
            p = SkipSubBlocks(f, p + 3 + f[p + 2]);
        } else {
            p = SkipSubBlocks(f, p + 2);
        }
    }
    l.image = p;
    const size_t local = f[p + 9] & 0x80 ? size_t{2} << (f[p + 9] & 7) : 0;
    l.entries = local ? local : global;
    l.table = local ? p + 10 : 13;
    l.imageEnd = SkipSubBlocks(f, p + 11 + 3 * local);
    return l;
}

// The first image alone, without control block; with `ramp` its colour
// table holds (i, i, i), so that drawn pixels show their indices.
Bytes SingleImage(const Bytes& f, const Layout& l, bool ramp) {
    Bytes out(f.begin(), f.begin() + l.headerLength);
    const size_t image = out.size();
    out.insert(out.end(), f.begin() + l.image, f.begin() + l.imageEnd);
    out.push_back(0x3B);
    std::memset(&out[image + 1], 0, 4);
    std::memcpy(&out[6], &out[image + 5], 4);
    const size_t table = l.table == 13 ? 13 : image + 10;
    for (size_t i = 0; ramp && i < l.entries; ++i) std::memset(&out[table + 3 * i], static_cast<int>(i), 3);
    return out;
}

Bytes ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(GifAgainstPictureLoader, TestFiles) {
    const fs::path folder = MENDLOW_GIF_DATA_DIR;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".gif") continue;
        // Wine's loader goes wrong once a full table is kept without a clear
        // code (giflib and browsers read it as this decoder does).
        if (entry.path().filename() == "full_table_kept.gif") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const Bytes file = ReadWholeFile(entry.path());
        const Layout layout = Find(file);
        bool alpha = false;
        std::optional<Picture> ours = OursFromGif(file, &alpha);
        ASSERT_TRUE(ours);
        EXPECT_EQ(alpha, layout.transparent >= 0);
        std::optional<Picture> loader = Loader(SingleImage(file, layout, alpha));
        ASSERT_TRUE(loader) << "the loader does not read it";
        ASSERT_EQ(loader->width, ours->width);
        ASSERT_EQ(loader->height, ours->height);
        for (size_t i = 0; i < ours->pixels.size(); ++i) {
            uint32_t expected = loader->pixels[i];
            if (alpha) {  // the loader drew indices: the file's own colours, or nothing for the transparent one
                const size_t index = expected & 0xFF;
                const uint8_t* rgb = &file[layout.table + 3 * index];
                expected = int(index) == layout.transparent ? 0u : 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
            }
            ASSERT_EQ(ours->pixels[i], expected) << "pixel " << i;
        }
        ++compared;
    }
    EXPECT_GE(compared, 10);
}

// Images the files do not have, each already a single image at the origin.
TEST(GifAgainstPictureLoader, UnusualButReadableImages) {
    auto expectSame = [](const Bytes& gif) {
        std::optional<Picture> ours = OursFromGif(gif), loader = Loader(gif);
        ASSERT_TRUE(ours);
        ASSERT_TRUE(loader);
        EXPECT_EQ(ours->pixels, loader->pixels);
    };
    const Bytes table = test_gif::Palette(4);
    Bytes all;
    for (uint8_t i = 0; i < 16; ++i) all.push_back(i);
    auto image = [](uint8_t width, uint8_t codeSize) {
        return Bytes{0x2C, 0, 0, 0, 0, width, 0, 1, 0, 0, codeSize};
    };
    {
        SCOPED_TRACE("indices past the table");
        expectSame(Builder(16, 1, table).Raw(image(16, 4)).SubBlocks(test_gif::LzwEncode(all, 4)).End());
        expectSame(Builder(16, 1, table).Raw(image(16, 8)).SubBlocks(test_gif::LzwEncode(all, 8)).End());
    }
    {
        SCOPED_TRACE("code size 1");
        const Bytes twoColours = {0, 1, 1, 0, 1, 1, 1, 0, 0, 0, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        expectSame(Builder(29, 1, test_gif::Palette(2)).Raw(image(29, 1)).SubBlocks(test_gif::LzwEncode(twoColours, 1)).End());
    }
}

}  // namespace
