#include "imagecore/win32/blend_dc.h"

#include "codecs/modParsers.h"
#include "common/win32_handles.h"

bool CompositeOntoDc(HDC dc, int32_t destX, int32_t destY, int32_t width, int32_t height, const PixelView& source,
                     int32_t srcX, int32_t srcY, uint32_t opacity, const engine::GreyWeights* grey) {
    if (dc == nullptr || width < 1 || height < 1) return false;
    const std::optional<int32_t> stride = modParsers::AlignedScanWidth(24, width);
    if (!stride || height > INT32_MAX / *stride) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(*stride) * static_cast<DWORD>(height);
    void* bits = nullptr;
    win32::WindowDc screen(nullptr);
    win32::Bitmap section(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) return false;
    {
        win32::MemoryDc memory(CreateCompatibleDC(screen.get()));
        if (!memory) return false;
        HGDIOBJ previous = SelectObject(memory.get(), section.get());
        BitBlt(memory.get(), 0, 0, width, height, dc, destX, destY, SRCCOPY);
        SelectObject(memory.get(), previous);
    }
    GdiFlush();

    auto* rows = static_cast<uint8_t*>(bits);
    for (int32_t r = 0; r < height; ++r)
        engine::CompositeRow(source.PictureRow(srcY + r) + static_cast<size_t>(srcX) * 4,
                             rows + static_cast<size_t>(height - 1 - r) * *stride, width, 3, opacity, grey);
    return SetDIBitsToDevice(dc, destX, destY, width, height, 0, 0, 0, height, bits, &info, DIB_RGB_COLORS) != 0;
}
