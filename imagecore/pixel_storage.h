// Where an image's pixels live: a DIB section on Windows, the heap natively.
// The only part of the image object that differs between the builds.
#pragma once

#include <cstdint>
#include <vector>

#ifdef _WIN32
#include "common/win32_handles.h"
#endif

class PixelStorage {
public:
    // A zero-filled, bottom-up 32-bit buffer; false when it cannot be made.
    bool Create(int32_t width, int32_t height);
    void Release();
    uint8_t* Bits() const;
    // Not 0 while a buffer exists (the section's handle on Windows).
    uintptr_t Handle() const;

#ifdef _WIN32
    HBITMAP Bitmap() const { return bitmap_.get(); }

private:
    win32::Bitmap bitmap_;
    uint8_t* bits_ = nullptr;
#else
private:
    std::vector<uint8_t> buffer_;
#endif
};
