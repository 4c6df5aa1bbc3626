// The BMP decoder against the system picture loader: the same files through
// ArrayToPicture and GetDIBits at 32 bits per pixel (alpha forced to 255)
// must give the decoder's pixels wherever the loader reads them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "codecs/cBMPparser.h"
#include "codecs/modParsers.h"
#include "codecs/tests/bmp_builder.h"
#include "codecs/tests/bmpico_files.h"
#include "imagecore/c32bppDIB.h"
#include "common/ole_handle.h"

namespace {

using test_bmp::Bytes;

struct Pixels {
    int width = 0, height = 0;
    Bytes bgra;  // top row first
};

// Nothing when the loader does not take the bytes.
std::optional<Pixels> ThroughSystem(const Bytes& file) {
    win32::ComPtr<IPicture> picture = modParsers::ArrayToPicture(file);
    if (!picture) return std::nullopt;
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    HBITMAP bitmap = win32::FromOleHandle<HBITMAP>(handle);
    BITMAP record{};
    if (GetObjectW(bitmap, sizeof record, &record) == 0) return std::nullopt;
    Pixels p;
    p.width = record.bmWidth, p.height = record.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    p.bgra.resize(size_t(p.width) * p.height * 4);
    win32::WindowDc screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, p.height, p.bgra.data(), &info, DIB_RGB_COLORS) != p.height)
        return std::nullopt;
    for (size_t i = 3; i < p.bgra.size(); i += 4) p.bgra[i] = 255;
    return p;
}

std::optional<Pixels> Ours(const Bytes& file) {
    c32bppDIB image;
    if (!cBMPparser().LoadStream(file, image, 0, int64_t(file.size()))) return std::nullopt;
    Pixels p{image.Width(), image.Height(), bmpico::TopRowFirst(image)};
    for (size_t i = 3; i < p.bgra.size(); i += 4) p.bgra[i] = 255;  // the 32-bit path keeps its alpha
    return p;
}

std::string FirstDifference(const Pixels& a, const Pixels& b) {
    for (size_t i = 0; i < a.bgra.size() && i < b.bgra.size(); i += 4)
        if (std::memcmp(&a.bgra[i], &b.bgra[i], 4) != 0)
            return "pixel " + std::to_string(i / 4 % a.width) + "," + std::to_string(i / 4 / a.width) + ": ours " +
                   std::to_string(a.bgra[i + 2]) + "/" + std::to_string(a.bgra[i + 1]) + "/" + std::to_string(a.bgra[i]) +
                   ", system " + std::to_string(b.bgra[i + 2]) + "/" + std::to_string(b.bgra[i + 1]) + "/" +
                   std::to_string(b.bgra[i]);
    return "sizes differ";
}

// True when the loader read the file (and then the pixels must agree).
bool Agrees(const Bytes& file, const std::string& name) {
    std::optional<Pixels> system = ThroughSystem(file);
    if (!system) return false;
    std::optional<Pixels> ours = Ours(file);
    EXPECT_TRUE(ours) << name;
    if (!ours) return true;
    EXPECT_EQ(ours->width, system->width) << name;
    EXPECT_EQ(ours->height, system->height) << name;
    EXPECT_TRUE(ours->bgra == system->bgra) << name << ": " << FirstDifference(*ours, *system);
    return true;
}

TEST(BmpAgainstSystemLoader, EveryCommittedBitmap) {
    int read = 0;
    std::string skipped;
    for (const bmpico::Expected& e : bmpico::ReadGolden()) {
        if (e.entry != 0) continue;
        if (Agrees(bmpico::ReadFile(e.file), e.file))
            ++read;
        else
            skipped += " " + e.file;
    }
    if (!skipped.empty()) std::printf("not read by the system loader:%s\n", skipped.c_str());
    EXPECT_GE(read, 20);
}

// Every 5- and 6-bit level, and narrow and wide bit fields.
TEST(BmpAgainstSystemLoader, BitFieldChannelsWidenAsTheSystemDoes) {
    Bytes levels;
    for (uint32_t v = 0; v < 64; ++v) test_bmp::Put16(levels, (v & 31) << 10 | v << 5 | (v & 31));
    test_bmp::Info i555{.width = 64, .height = 1, .bitCount = 16};
    EXPECT_TRUE(Agrees(test_bmp::File(test_bmp::InfoHeader(i555), {}, levels), "555"));
    Bytes masks565;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) test_bmp::Put32(masks565, m);
    test_bmp::Info i565{.width = 64, .height = 1, .bitCount = 16, .compression = 3};
    Bytes levels565;
    for (uint32_t v = 0; v < 64; ++v) test_bmp::Put16(levels565, (v & 31) << 11 | v << 5 | (v & 31));
    EXPECT_TRUE(Agrees(test_bmp::File(test_bmp::InfoHeader(i565), masks565, levels565), "565"));

    // 2-, 3- and 4-bit channels in 16 bits; 10-bit channels in 32 bits.
    test_bmp::Info narrow{.width = 16, .height = 1, .bitCount = 16, .compression = 3, .size = 56,
                          .masks = {0x0C00, 0x0380, 0x0078}};
    Bytes narrowPixels;
    for (uint32_t v = 0; v < 16; ++v) test_bmp::Put16(narrowPixels, (v & 3) << 10 | (v & 7) << 7 | v << 3);
    EXPECT_TRUE(Agrees(test_bmp::File(test_bmp::InfoHeader(narrow), {}, narrowPixels), "narrow"));
    test_bmp::Info wide{.width = 4, .height = 1, .bitCount = 32, .compression = 3, .size = 56,
                        .masks = {0x3FF00000, 0x000FFC00, 0x000003FF}};
    Bytes widePixels;
    for (uint32_t v : {0u, 0x3FFFFFFFu, 0x2AAAAAAAu, 0x12345678u}) test_bmp::Put32(widePixels, v);
    EXPECT_TRUE(Agrees(test_bmp::File(test_bmp::InfoHeader(wide), {}, widePixels), "wide"));
}

TEST(BmpAgainstSystemLoader, IndicesPastTheColourTable) {
    test_bmp::Info info{.width = 8, .height = 2, .bitCount = 8, .coloursUsed = 3};
    Bytes pixels = {0, 1, 2, 3, 4, 200, 255, 1, 2, 2, 9, 9, 0, 0, 7, 1};
    EXPECT_TRUE(Agrees(test_bmp::File(test_bmp::InfoHeader(info), test_bmp::Quads({0x102030, 0x405060, 0x708090}),
                                      pixels),
                       "indices"));
}

}  // namespace
