// Under Wine, which has GDI+: the PNG decoder lets GDI+ try first.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "codecs/cPNGparser.h"
#include "codecs/file_reader.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/tests/png_builder.h"
#include "imagecore/c32bppDIB.h"

namespace {

using test_png::Bytes;

TEST(PngGdiplusFirst, GdiplusDecodesWhenItCanAndTheWalkOtherwise) {
    // Opaque RGBA: GDI+'s result goes through the alpha analysis (no alpha),
    // the own walk marks every RGBA image as having alpha.
    Bytes png = test_png::Builder().Header(2, 2, 8, 6).Data({0, 1, 2, 3, 255, 4, 5, 6, 255, 0, 7, 8, 9, 255, 1, 2, 3, 255}).End();
    for (bool off : {false, true}) {
        gdiplus::SetDisabled(off);
        c32bppDIB image;
        EXPECT_TRUE(cPNGparser().LoadStream(png, image, 0, static_cast<int64_t>(png.size()), 0));
        ASSERT_NE(image.Handle(), 0u);
        EXPECT_EQ(image.Alpha(), off) << (off ? "own walk" : "GDI+");
        EXPECT_EQ(image.ImageType(), imgPNG);
        EXPECT_EQ(image.Pixels().PictureRow(1)[2], 7);  // red of the bottom-left pixel
    }
    gdiplus::SetDisabled(false);
}

TEST(PngGdiplusFirst, ShortFilesGoToGdiplusWithoutASignatureTest) {
    const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0, 0, 0,
                           0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring name = std::wstring(folder) + L"mendlow-short.gif";
    FILE* out = _wfopen(name.c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(gif, 1, sizeof gif, out);
    std::fclose(out);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    c32bppDIB image;
    EXPECT_TRUE(cPNGparser().LoadFile(FileReader(file), name, image, 0));
    EXPECT_EQ(image.Width(), 1);
    gdiplus::SetDisabled(true);
    c32bppDIB without;
    EXPECT_FALSE(cPNGparser().LoadFile(FileReader(file), name, without, 0));
    gdiplus::SetDisabled(false);
    CloseHandle(file);
    DeleteFileW(name.c_str());
}

}  // namespace
