#include "imagecore/pixel_storage.h"

bool PixelStorage::Create(int32_t width, int32_t height) {
    Release();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* bits = nullptr;
    win32::WindowDc screen(nullptr);
    bitmap_.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || bits == nullptr) {
        Release();
        return false;
    }
    bits_ = static_cast<uint8_t*>(bits);
    return true;
}

void PixelStorage::Release() {
    bitmap_.reset();
    bits_ = nullptr;
}

uint8_t* PixelStorage::Bits() const { return bits_; }

uintptr_t PixelStorage::Handle() const { return reinterpret_cast<uintptr_t>(bitmap_.get()); }
