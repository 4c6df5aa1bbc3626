// Saving against the system: the system picture loader reads our 24-bit BMP
// files to the image's colours, and PNG saving goes through GDI+ first.
#include <gtest/gtest.h>

#include <cstring>

#include "codecs/cPNGwriter.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"
#include "common/ole_handle.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Fill(c32bppDIB& image, int width, int height) {
    ASSERT_TRUE(image.InitializeDIB(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
            p[0] = uint8_t(x * 37), p[1] = uint8_t(y * 53), p[2] = uint8_t(x * y + 7), p[3] = 255;
        }
    image.SetAlpha(false);
}

// Widths 1 to 5 cover every row padding.
TEST(SavingSystem, PictureLoaderReads24BitFiles) {
    for (int width = 1; width <= 5; ++width) {
        c32bppDIB image;
        Fill(image, width, 3);
        Bytes bmp;
        ASSERT_TRUE(image.SaveToStream(bmp));
        ASSERT_EQ(bmp[28], 24);

        win32::ComPtr<IPicture> picture = modParsers::ArrayToPicture(bmp);
        ASSERT_TRUE(picture) << "width " << width;
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        HBITMAP bitmap = win32::FromOleHandle<HBITMAP>(handle);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = 3;  // bottom-up, as the image
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        Bytes read(size_t(width) * 3 * 4);
        win32::WindowDc screen(nullptr);
        ASSERT_EQ(GetDIBits(screen.get(), bitmap, 0, 3, read.data(), &info, DIB_RGB_COLORS), 3);
        for (size_t i = 0; i < read.size(); ++i) {
            if (i % 4 != 3) {
                ASSERT_EQ(read[i], image.BitsPointer()[i]) << "width " << width << " byte " << i;
            }
        }
    }
}

TEST(SavingSystem, PngTriesGdiplusBeforeTheOwnEncoder) {
    c32bppDIB image;
    Fill(image, 7, 4);
    Bytes own;
    ASSERT_TRUE(cPNGwriter().SavePNG(image, L"", own));

    Bytes saved;
    if (image.isGDIplusEnabled()) {
        ASSERT_TRUE(image.SaveToStream_PNG(saved));
        EXPECT_NE(saved, own);  // GDI+ writes its own kind of file
        c32bppDIB again;
        gdiplus::SetDisabled(true);
        ASSERT_TRUE(again.LoadPicture_Stream(saved));
        gdiplus::SetDisabled(false);
        EXPECT_EQ(std::memcmp(again.BitsPointer(), image.BitsPointer(), 7 * 4 * 4), 0);
    }
    image.SetIsGDIplusEnabled(false);
    ASSERT_TRUE(image.SaveToStream_PNG(saved));
    EXPECT_EQ(saved, own);
}

}  // namespace
