#include "codecs/win32/picture_converters.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "codecs/cBMPparser.h"
#include "codecs/cICOparser.h"
#include "codecs/modParsers.h"
#include "common/win32_handles.h"
#include "imagecore/c32bppDIB.h"
#include "common/ole_handle.h"

namespace {

constexpr double kHimetricPerInch = 2540.0;

// HIMETRIC to screen pixels, to the nearest whole number.
int32_t HimetricToPixels(OLE_XSIZE_HIMETRIC himetric, int logPixelsIndex) {
    win32::WindowDc screen(nullptr);
    const int perInch = screen ? GetDeviceCaps(screen.get(), logPixelsIndex) : 96;
    return static_cast<int32_t>(std::lround(himetric * perInch / kHimetricPerInch));
}

// Some picture objects report no size for enhanced metafiles; their
// header's frame has it, in HIMETRIC already.
void EnhancedMetafileFrame(IPicture* picture, OLE_XSIZE_HIMETRIC& width, OLE_YSIZE_HIMETRIC& height) {
    OLE_HANDLE handle = 0;
    ENHMETAHEADER header{};
    if (FAILED(picture->get_Handle(&handle)) ||
        !GetEnhMetaFileHeader(win32::FromOleHandle<HENHMETAFILE>(handle), sizeof header, &header))
        return;
    width = header.rclFrame.right - header.rclFrame.left;
    height = header.rclFrame.bottom - header.rclFrame.top;
}

void MakeOpaque(const PixelView& pixels) {
    uint8_t* p = pixels.bits;
    for (size_t i = 0; i < pixels.PixelCount(); ++i) p[i * 4 + 3] = 255;
}

// The drawing leaves the alpha byte of every pixel it touched at 0.
void MakeUndrawnTransparent(const PixelView& pixels) {
    uint8_t* p = pixels.bits;
    for (size_t i = 0; i < pixels.PixelCount(); ++i, p += 4) {
        if (p[3] == 255)
            std::memset(p, 0, 4);
        else
            p[3] = 255;
    }
}

BITMAPINFOHEADER BottomUpHeader(int32_t width, int32_t height, WORD bitCount) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    return header;
}

bool ReadBits32(HBITMAP bitmap, c32bppDIB& host) {
    BITMAPINFO info{};
    info.bmiHeader = BottomUpHeader(host.Width(), host.Height(), 32);
    win32::WindowDc screen(nullptr);
    return GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(host.Height()), host.BitsPointer(), &info,
                     DIB_RGB_COLORS) == host.Height();
}

// Set mask bits clear the pixel; clear ones make it opaque. Rows bottom-up.
bool ApplyMask(const std::vector<uint8_t>& mask, int32_t rowBytes, c32bppDIB& host) {
    bool anyTransparent = false;
    const PixelView pixels = host.Pixels();
    for (int32_t m = 0; m < pixels.height; ++m) {
        const uint8_t* bitsRow = mask.data() + static_cast<size_t>(m) * rowBytes;
        uint8_t* row = pixels.MemoryRow(m);
        for (int32_t x = 0; x < pixels.width; ++x) {
            if (bitsRow[x >> 3] & (0x80 >> (x & 7))) {
                std::memset(row + x * 4, 0, 4);
                anyTransparent = true;
            } else {
                row[x * 4 + 3] = 255;
            }
        }
    }
    return anyTransparent;
}

}  // namespace

namespace picture_convert {

bool PictureOrBitmapTo32bpp(IPicture* stdPic, HBITMAP Handle, c32bppDIB& cHost, int bitCount) {
    int32_t width = 0, height = 0;
    short pictureType = PICTYPE_NONE;
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    BITMAP record{};
    if (stdPic) {
        if (FAILED(stdPic->get_Type(&pictureType)) || pictureType == PICTYPE_NONE ||
            pictureType == PICTYPE_UNINITIALIZED)
            return false;
        stdPic->get_Width(&himetricWidth);
        stdPic->get_Height(&himetricHeight);
        if (pictureType == PICTYPE_ENHMETAFILE && (himetricWidth == 0 || himetricHeight == 0))
            EnhancedMetafileFrame(stdPic, himetricWidth, himetricHeight);
        width = HimetricToPixels(himetricWidth, LOGPIXELSX);
        height = HimetricToPixels(himetricHeight, LOGPIXELSY);
    } else if (Handle) {
        if (GetObjectW(Handle, sizeof record, &record) == 0) return false;
        width = record.bmWidth;
        height = std::abs(record.bmHeight);
        bitCount = record.bmBitsPixel;
    } else {
        return false;
    }
    if (!cHost.InitializeDIB(width, height)) return false;
    HDC hostDc = cHost.LoadDIBinDC(true);

    bool thirtyTwoBit = false;
    if (!stdPic) {
        thirtyTwoBit = bitCount == 32;
        // Read through GetDIBits even when the bits are reachable: only it
        // knows reliably whether the rows are stored top-down.
        if (thirtyTwoBit && !ReadBits32(Handle, cHost)) thirtyTwoBit = false;
        if (!thirtyTwoBit) {
            win32::MemoryDc source(CreateCompatibleDC(hostDc));
            win32::SelectObjectScope selected(source.get(), Handle);
            BitBlt(hostDc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        }
    } else {
        const bool metafile = pictureType == PICTYPE_METAFILE || pictureType == PICTYPE_ENHMETAFILE;
        if (metafile) std::memset(cHost.BitsPointer(), 255, static_cast<size_t>(cHost.scanWidth()) * height);
        stdPic->Render(hostDc, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight, nullptr);
    }
    GdiFlush();
    cHost.LoadDIBinDC(false);

    const PixelView pixels = cHost.Pixels();
    if (thirtyTwoBit) {
        bool alpha = false;
        int32_t imageType = imgBlank;
        modParsers::ValidateAlphaChannel(pixels, true, alpha, imageType);
        cHost.SetAlpha(alpha);
        cHost.SetImageType(imageType);
    } else if (stdPic && (pictureType == PICTYPE_METAFILE || pictureType == PICTYPE_ENHMETAFILE)) {
        MakeUndrawnTransparent(pixels);
        cHost.SetAlpha(true);
        cHost.SetImageType(pictureType);
    } else {
        MakeOpaque(pixels);
        cHost.SetAlpha(false);
        cHost.SetImageType(stdPic ? pictureType : int32_t{imgBitmap});
    }
    return true;
}

bool IconTo32bpp(HICON Handle, c32bppDIB& cHost) {
    ICONINFO information{};
    if (!Handle || !GetIconInfo(Handle, &information)) return false;
    win32::Bitmap colour(information.hbmColor), mask(information.hbmMask);
    const bool isIcon = information.fIcon != FALSE;
    win32::WindowDc screen(nullptr);

    bool masked = true;
    if (colour) {
        BITMAPINFO query{};
        query.bmiHeader.biSize = sizeof query.bmiHeader;
        if (!GetDIBits(screen.get(), colour.get(), 0, 0, nullptr, &query, DIB_RGB_COLORS)) return false;
        if (!cHost.InitializeDIB(query.bmiHeader.biWidth, query.bmiHeader.biHeight)) return false;
        if (!ReadBits32(colour.get(), cHost)) {
            cHost.DestroyDIB();
            return false;
        }
        const PixelView pixels = cHost.Pixels();
        for (size_t i = 0; i < pixels.PixelCount() && masked; ++i) masked = pixels.bits[i * 4 + 3] == 0;
        if (!masked) {
            bool alpha = false;
            int32_t imageType = imgBlank;
            modParsers::ValidateAlphaChannel(pixels, true, alpha, imageType);
            cHost.SetImageType(isIcon ? imgIconAlpha : imgCursorAlpha);
            cHost.SetAlpha(true);
            return true;
        }
    } else {
        BITMAP record{};
        if (!mask || GetObjectW(mask.get(), sizeof record, &record) == 0) return false;
        if (!cHost.InitializeDIB(record.bmWidth, std::abs(record.bmHeight) / 2)) return false;
        DrawIcon(cHost.LoadDIBinDC(true), 0, 0, Handle);
        GdiFlush();
        cHost.LoadDIBinDC(false);
    }

    // The mask's AND half: the whole mask bitmap with a colour bitmap, its
    // upper half (the rows read last, bottom-up) without one.
    const std::optional<int32_t> rowBytes = modParsers::AlignedScanWidth(1, cHost.Width());
    if (!rowBytes || !mask) {
        cHost.DestroyDIB();
        return false;
    }
    const int32_t height = cHost.Height();
    std::vector<uint8_t> maskBits(static_cast<size_t>(*rowBytes) * height);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    info.header = BottomUpHeader(cHost.Width(), colour ? height : height * 2, 1);
    info.colours[1] = {255, 255, 255, 0};
    const UINT firstRow = colour ? 0 : static_cast<UINT>(height);
    if (GetDIBits(screen.get(), mask.get(), firstRow, static_cast<UINT>(height), maskBits.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != height) {
        cHost.DestroyDIB();
        return false;
    }
    cHost.SetAlpha(ApplyMask(maskBits, *rowBytes, cHost));
    cHost.SetImageType(isIcon ? imgIcon : imgCursor);
    return true;
}

}  // namespace picture_convert

bool cBMPparser::ConvertstdPicTo32bpp(IPicture* stdPic, HBITMAP Handle, c32bppDIB& cHost, int bitCount) {
    return picture_convert::PictureOrBitmapTo32bpp(stdPic, Handle, cHost, bitCount);
}

bool cICOparser::ConvertstdPicTo32bpp(HICON Handle, c32bppDIB& cHost) {
    return picture_convert::IconTo32bpp(Handle, cHost);
}
