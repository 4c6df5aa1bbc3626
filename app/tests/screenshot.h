// Saving what the screen shows of a window, as a build artifact.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/win32_handles.h"

// Saves what the screen shows of the window as a 24-bit BMP file.
inline bool SaveScreenshot(HWND window, const std::wstring& path) {
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    win32::WindowDc screen(nullptr);
    win32::MemoryDc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win32::Bitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    {
        win32::SelectObjectScope select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
    std::fwrite(bits, imageSize, 1, out);
    return std::fclose(out) == 0;
}

// The pixels (0x00RRGGBB) of a window's device context, or of the screen
// for none, in a rectangle of its coordinates.
inline std::vector<uint32_t> PixelsOf(HWND window, const RECT& r) {
    int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win32::WindowDc source(window);
    win32::MemoryDc memory(CreateCompatibleDC(source.get()));
    win32::Bitmap bitmap(CreateDIBSection(source.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bits) return {};
    {
        win32::SelectObjectScope select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, source.get(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + static_cast<size_t>(width) * height);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// The screen's pixels in a rectangle of screen coordinates.
inline std::vector<uint32_t> ScreenPixels(const RECT& r) { return PixelsOf(nullptr, r); }
