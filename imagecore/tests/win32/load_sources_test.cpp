// Loading from handles, picture objects, resources and the clipboard, under Wine.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>

#include "codecs/modParsers.h"
#include "common/win32_handles.h"
#include "imagecore/c32bppDIB.h"

namespace {

struct LoadedPixel {
    uint8_t b, g, r, a;
    bool operator==(const LoadedPixel&) const = default;
};

LoadedPixel PixelAt(const c32bppDIB& image, int x, int y) {
    const uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

// A DIB section of the given depth; pixels are set through its bits.
win32::Bitmap Section(int width, int height, WORD bits, void** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    return win32::Bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, pixels, nullptr, 0));
}

// A 2 x 2 bottom-up 32-bit section: bottom row opaque blue, premultiplied
// half-transparent grey; top row transparent, opaque white.
win32::Bitmap AlphaSection(bool topDown = false) {
    void* bits = nullptr;
    win32::Bitmap bitmap = Section(2, topDown ? -2 : 2, 32, &bits);
    const uint8_t bottom[8] = {255, 0, 0, 255, 64, 64, 64, 128};
    const uint8_t top[8] = {0, 0, 0, 0, 255, 255, 255, 255};
    std::memcpy(static_cast<uint8_t*>(bits) + (topDown ? 8 : 0), bottom, 8);
    std::memcpy(static_cast<uint8_t*>(bits) + (topDown ? 0 : 8), top, 8);
    GdiFlush();
    return bitmap;
}

void ExpectAlphaSectionPixels(const c32bppDIB& image) {
    ASSERT_EQ(image.Width(), 2);
    ASSERT_EQ(image.Height(), 2);
    EXPECT_EQ(PixelAt(image, 0, 1), (LoadedPixel{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image, 1, 1), (LoadedPixel{64, 64, 64, 128}));
    EXPECT_EQ(PixelAt(image, 0, 0), (LoadedPixel{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image, 1, 0), (LoadedPixel{255, 255, 255, 255}));
    EXPECT_TRUE(image.Alpha());
}

TEST(LoadByHandle, BitmapsOfEveryKind) {
    c32bppDIB image;
    {
        win32::Bitmap bitmap = AlphaSection();
        ASSERT_TRUE(image.LoadPicture_ByHandle(bitmap.get()));
        ExpectAlphaSectionPixels(image);
        EXPECT_EQ(image.ImageType(), imgBitmapPremultiplied);
    }
    {
        win32::Bitmap bitmap = AlphaSection(true);  // top-down: still upright
        ASSERT_TRUE(image.LoadPicture_ByHandle(bitmap.get()));
        ExpectAlphaSectionPixels(image);
    }
    {
        void* bits = nullptr;
        win32::Bitmap bitmap = Section(2, 1, 24, &bits);
        const uint8_t row[8] = {10, 20, 30, 40, 50, 60};
        std::memcpy(bits, row, sizeof row);
        GdiFlush();
        ASSERT_TRUE(image.LoadPicture_ByHandle(bitmap.get()));
        EXPECT_EQ(PixelAt(image, 0, 0), (LoadedPixel{10, 20, 30, 255}));
        EXPECT_EQ(PixelAt(image, 1, 0), (LoadedPixel{40, 50, 60, 255}));
        EXPECT_FALSE(image.Alpha());
        EXPECT_EQ(image.ImageType(), imgBitmap);
    }
    win32::Brush brush(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_FALSE(image.LoadPicture_ByHandle(brush.get()));
    EXPECT_EQ(image.Handle(), 0u);
    EXPECT_FALSE(image.LoadPicture_ByHandle(nullptr));
}

// A 2 x 2 icon or cursor from a colour section and a mask whose left column is set.
HICON MakeIcon(bool isIcon, win32::Bitmap colour) {
    const uint16_t maskRows[2] = {0x80, 0x80};  // two rows, word aligned, bit 7 = left pixel
    win32::Bitmap mask(CreateBitmap(2, 2, 1, 1, maskRows));
    ICONINFO information{isIcon ? TRUE : FALSE, 1, 1, mask.get(), colour.get()};
    return CreateIconIndirect(&information);
}

TEST(LoadByHandle, IconsAndCursors) {
    c32bppDIB image;
    {
        win32::Icon icon(MakeIcon(true, AlphaSection()));
        ASSERT_TRUE(image.LoadPicture_ByHandle(icon.get()));
        ExpectAlphaSectionPixels(image);  // alpha wins over the mask
        EXPECT_EQ(image.ImageType(), imgIconAlpha);
        win32::Cursor cursor(MakeIcon(false, AlphaSection()));
        ASSERT_TRUE(image.LoadPicture_ByHandle(cursor.get()));
        EXPECT_EQ(image.ImageType(), imgCursorAlpha);
    }
    {
        void* bits = nullptr;
        win32::Bitmap colour = Section(2, 2, 24, &bits);
        std::memset(bits, 200, 16);
        GdiFlush();
        win32::Icon icon(MakeIcon(true, std::move(colour)));
        ASSERT_TRUE(image.LoadPicture_ByHandle(icon.get()));
        EXPECT_EQ(image.ImageType(), imgIcon);
        EXPECT_TRUE(image.Alpha());
        EXPECT_EQ(PixelAt(image, 0, 0), (LoadedPixel{0, 0, 0, 0}));
        EXPECT_EQ(PixelAt(image, 1, 0), (LoadedPixel{200, 200, 200, 255}));
        EXPECT_EQ(PixelAt(image, 0, 1), (LoadedPixel{0, 0, 0, 0}));
        EXPECT_EQ(PixelAt(image, 1, 1), (LoadedPixel{200, 200, 200, 255}));
    }
}

TEST(LoadByHandle, EnhancedMetafileIsTransparentWhereNothingWasDrawn) {
    RECT frame{0, 0, 1000, 1000};  // HIMETRIC: 1 cm square
    HDC recording = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    ASSERT_NE(recording, nullptr);
    win32::Brush red(CreateSolidBrush(RGB(255, 0, 0)));
    RECT middle{10, 10, 28, 28};
    FillRect(recording, &middle, red.get());
    HENHMETAFILE metafile = CloseEnhMetaFile(recording);
    ASSERT_NE(metafile, nullptr);

    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_ByHandle(metafile));
    EXPECT_EQ(image.ImageType(), imgEnhMetafile);
    EXPECT_TRUE(image.Alpha());
    ASSERT_GT(image.Width(), 20);
    EXPECT_EQ(PixelAt(image, 0, 0), (LoadedPixel{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image, image.Width() / 2, image.Height() / 2), (LoadedPixel{0, 0, 255, 255}));
    EXPECT_NE(GetEnhMetaFileHeader(metafile, 0, nullptr), 0u);  // the caller's handle survives
    DeleteEnhMetaFile(metafile);
}

TEST(LoadStdPicture, BitmapPictureAndEmptyPicture) {
    c32bppDIB image;
    win32::ComPtr<IPicture> picture = modParsers::HandleToPicture(AlphaSection().release(), PICTYPE_BITMAP);
    ASSERT_TRUE(picture);
    ASSERT_TRUE(image.LoadPicture_StdPicture(picture.get()));
    ExpectAlphaSectionPixels(image);
    EXPECT_FALSE(image.LoadPicture_StdPicture(nullptr));
    EXPECT_EQ(image.Handle(), 0u);
}

TEST(LoadResource, PictureKindsOfTheProgramsOwnResources) {
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Resource(7, int16_t{1}));
    EXPECT_EQ(image.Width(), 16);
    EXPECT_TRUE(image.ImageType() == imgIcon || image.ImageType() == imgIconAlpha) << image.ImageType();
    ASSERT_TRUE(image.LoadPicture_Resource(8, int16_t{2}));
    EXPECT_TRUE(image.ImageType() == imgCursor || image.ImageType() == imgCursorAlpha) << image.ImageType();

    ASSERT_TRUE(image.LoadPicture_Resource(std::wstring(L"LINKGIF"), std::wstring(L"ARTWORK")));
    EXPECT_EQ(image.ImageType(), imgGIF);  // custom data goes through the decoders

    // A resource that is not there ends the load: the result says whether an image is held.
    EXPECT_TRUE(image.LoadPicture_Resource(99, int16_t{1}));
    EXPECT_TRUE(image.LoadPicture_Resource(7, int16_t{5}));
    EXPECT_TRUE(image.LoadPicture_Resource(L"MISSING", std::wstring(L"ARTWORK")));
    image.DestroyDIB();
    EXPECT_FALSE(image.LoadPicture_Resource(99, int16_t{0}));
}

class ClipboardLoad : public ::testing::Test {
protected:
    // Replaces the clipboard's contents with one format.
    static void Put(UINT format, HANDLE data) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        if (data) SetClipboardData(format, data);
        CloseClipboard();
    }
    static HGLOBAL WideDrop(const std::vector<std::wstring>& names) {
        size_t chars = 1;
        for (const std::wstring& name : names) chars += name.size() + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
        auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        auto* at = reinterpret_cast<wchar_t*>(header + 1);
        for (const std::wstring& name : names) at = std::copy(name.begin(), name.end(), at) + 1;
        GlobalUnlock(memory);
        return memory;
    }
    void TearDown() override { Put(0, nullptr); }
};

TEST_F(ClipboardLoad, BitmapOrNothing) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(1, 1));
    Put(0, nullptr);
    EXPECT_FALSE(image.LoadPicture_ClipBoard());
    EXPECT_EQ(image.Width(), 1);  // nothing on the clipboard: untouched

    void* bits = nullptr;
    win32::Bitmap bitmap = Section(3, 2, 24, &bits);
    std::memset(bits, 90, 24);
    GdiFlush();
    Put(CF_BITMAP, bitmap.release());
    ASSERT_TRUE(image.LoadPicture_ClipBoard());
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(PixelAt(image, 2, 1), (LoadedPixel{90, 90, 90, 255}));
}

TEST_F(ClipboardLoad, PastedAndDroppedFileNamesKeepTheirWideForm) {
    const std::vector<std::wstring> names = {L"C:\\bilder\\\u00e9t\u00e9.png", L"C:\\\u65e5\u672c.gif"};
    Put(CF_HDROP, WideDrop(names));
    std::vector<std::wstring> pasted;
    EXPECT_EQ(c32bppDIB().GetPastedFileNames(pasted), 2);
    EXPECT_EQ(pasted, names);

    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        win32::ComPtr<IDataObject> data;
        ASSERT_EQ(OleGetClipboard(data.put()), S_OK);
        std::vector<std::wstring> dropped = {L"?"};
        EXPECT_TRUE(c32bppDIB().GetDroppedFileNames(data.get(), dropped));
        EXPECT_EQ(dropped, names);
        EXPECT_FALSE(c32bppDIB().GetDroppedFileNames(nullptr, dropped));
    }
    OleUninitialize();

    Put(0, nullptr);
    EXPECT_EQ(c32bppDIB().GetPastedFileNames(pasted), 0);
}

}  // namespace
