#include "app/host/picture_drawing.h"

#include <olectl.h>

#include "app/button_look.h"
#include "common/win32_handles.h"

namespace host {
namespace {

short TypeOf(IPicture* picture) {
    short type = PICTYPE_NONE;
    if (picture) picture->get_Type(&type);
    return type;
}

int ScreenTwipsPerPixelX() {
    win32::WindowDc screen(nullptr);
    int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? 1440 / dpi : 15;
}

}  // namespace

bool HoldsImage(IPicture* picture) {
    OLE_HANDLE handle = 0;
    return picture && SUCCEEDED(picture->get_Handle(&handle)) && handle != 0;
}

IPicture* ChoosePicture(IPicture* first, IPicture* second) { return HoldsImage(first) ? first : second; }

SIZE PicturePixelSize(IPicture* picture) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (picture) {
        picture->get_Width(&width);
        picture->get_Height(&height);
    }
    int twipsPerPixel = ScreenTwipsPerPixelX();
    return {app::HimetricToPixels(width, twipsPerPixel), app::HimetricToPixels(height, twipsPerPixel)};
}

POINT CentredPicturePosition(IPicture* picture, const RECT& area) {
    SIZE size = PicturePixelSize(picture);
    return {app::CentredStart(area.left, area.right - area.left, size.cx),
            app::CentredStart(area.top, area.bottom - area.top, size.cy)};
}

void RenderPicture(IPicture* picture, HDC dc, int x, int y, int width, int height) {
    if (!HoldsImage(picture)) return;
    OLE_XSIZE_HIMETRIC sourceWidth = 0;
    OLE_YSIZE_HIMETRIC sourceHeight = 0;
    picture->get_Width(&sourceWidth);
    picture->get_Height(&sourceHeight);
    picture->Render(dc, x, y + height, width, -height, 0, 0, sourceWidth, sourceHeight, nullptr);
}

bool DrawTransparentPicture(IPicture* picture, HDC dc, int x, int y, int width, int height,
                            COLORREF transparentColor, int sourceX, int sourceY, int sourceWidth, int sourceHeight) {
    if (!HoldsImage(picture)) return true;
    if (sourceWidth == 0) sourceWidth = width;
    if (sourceHeight == 0) sourceHeight = height;
    if (sourceWidth <= 0 || sourceHeight <= 0) return true;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Handle(&handle))) return false;
    win32::WindowDc screen(nullptr);
    win32::MemoryDc memory(CreateCompatibleDC(screen.get()));
    win32::Bitmap canvas(CreateCompatibleBitmap(screen.get(), sourceWidth, sourceHeight));
    if (!memory || !canvas) return false;
    win32::SelectObjectScope select(memory.get(), canvas.get());
    HANDLE image = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
    if (TypeOf(picture) == PICTYPE_ICON) {
        // The whole canvas, not just a square: icons may be taller than wide.
        FillColor(memory.get(), 0, 0, sourceWidth, sourceHeight, transparentColor);
        DrawStateW(memory.get(), nullptr, nullptr, reinterpret_cast<LPARAM>(image), 0, 0, 0, 0, 0,
                   DST_ICON | DSS_NORMAL);
    } else {
        DrawStateW(memory.get(), nullptr, nullptr, reinterpret_cast<LPARAM>(image), 0, 0, 0, 0, 0,
                   DST_BITMAP | DSS_NORMAL);
    }
    // gdi32's own export, which msimg32's TransparentBlt forwards to.
    return GdiTransparentBlt(dc, x, y, width, height, memory.get(), sourceX, sourceY, sourceWidth, sourceHeight,
                             transparentColor) != FALSE;
}

bool DrawDisabledPicture(IPicture* picture, HDC dc, int x, int y, int width, int height, COLORREF transparentColor) {
    if (!HoldsImage(picture) || width <= 0 || height <= 0) return true;
    win32::WindowDc screen(nullptr);
    win32::MemoryDc memory(CreateCompatibleDC(screen.get()));
    win32::Bitmap canvas(CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !canvas) return false;
    bool drawn = false;
    {
        win32::SelectObjectScope select(memory.get(), canvas.get());
        FillColor(memory.get(), 0, 0, width, height, RGB(255, 255, 255));
        drawn = DrawTransparentPicture(picture, memory.get(), 0, 0, width, height, transparentColor, 0, 0, 0, 0);
    }
    // Embossing works from a bitmap that is selected nowhere.
    return DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(canvas.get()), 0, x, y, 0, 0,
                      DST_BITMAP | DSS_DISABLED) != FALSE && drawn;
}

bool FillColor(HDC dc, int x, int y, int width, int height, COLORREF color) {
    // PatBlt, not FillRect, so that a failure is seen (Wine's FillRect always succeeds).
    win32::Brush brush(CreateSolidBrush(color));
    HGDIOBJ old = brush ? SelectObject(dc, brush.get()) : nullptr;
    if (!old) return false;
    const bool filled = PatBlt(dc, x, y, width, height, PATCOPY) != FALSE;
    SelectObject(dc, old);
    return filled;
}

}  // namespace host
