#include "imagecore/pixel_storage.h"

#include <cstddef>
#include <stdexcept>

bool PixelStorage::Create(int32_t width, int32_t height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    try {
        buffer_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    } catch (const std::exception&) {  // out of memory or beyond what a vector holds
        return false;
    }
    return true;
}

void PixelStorage::Release() { std::vector<uint8_t>().swap(buffer_); }

uint8_t* PixelStorage::Bits() const { return buffer_.empty() ? nullptr : const_cast<uint8_t*>(buffer_.data()); }

uintptr_t PixelStorage::Handle() const { return reinterpret_cast<uintptr_t>(Bits()); }
