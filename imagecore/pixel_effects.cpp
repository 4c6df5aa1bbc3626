// Effects that change the image's pixels in place.
#include <algorithm>
#include <cstring>

#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

namespace {

// An OLE colour (0x00BBGGRR) as an opaque pixel in memory order.
uint32_t OpaquePixel(int32_t oleColour) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(oleColour >> 16), static_cast<uint8_t>(oleColour >> 8),
                              static_cast<uint8_t>(oleColour), 255};
    uint32_t pixel;
    std::memcpy(&pixel, bytes, 4);
    return pixel;
}

}  // namespace

bool c32bppDIB::MakeImageInverse() {
    if (Handle() == 0) return false;
    uint8_t* p = BitsPointer();
    for (size_t i = 0, n = Pixels().PixelCount(); i < n; ++i, p += 4) {
        const uint8_t a = p[3];
        if (a == 0) continue;
        // The premultiplied inverse; a colour above its alpha has none and stays.
        for (int c = 0; c < 3; ++c)
            if (p[c] <= a) p[c] = static_cast<uint8_t>(a - p[c]);
    }
    return true;
}

bool c32bppDIB::MakeTransparent(int32_t TransparentColor, bool Revert) {
    if (Handle() == 0) return false;
    const uint32_t key = OpaquePixel(TransparentColor);
    uint8_t* p = BitsPointer();
    const size_t n = Pixels().PixelCount();

    if (!Revert) {
        bool changed = false;
        for (size_t i = 0; i < n; ++i, p += 4) {
            uint32_t pixel;
            std::memcpy(&pixel, p, 4);
            if (pixel != key) continue;
            std::memset(p, 0, 4);
            changed = true;
        }
        if (changed) {
            alpha_ = true;
            if (imageType_ == imgBitmap) imageType_ = imgBitmapPremultiplied;
        }
        return true;
    }

    for (size_t i = 0; i < n; ++i, p += 4) {
        uint32_t pixel;
        std::memcpy(&pixel, p, 4);
        if (pixel == 0) std::memcpy(p, &key, 4);
    }
    bool hasAlpha = false;
    int32_t analysedType = imageType_;
    modParsers::ValidateAlphaChannel(Pixels(), false, hasAlpha, analysedType);
    alpha_ = hasAlpha;
    if (!alpha_ && (imageType_ == imgBitmapAlpha || imageType_ == imgBitmapPremultiplied)) imageType_ = imgBitmap;
    return true;
}

bool c32bppDIB::CreateCheckerBoard(int32_t CheckerSize, int32_t FirstColor, int32_t SecondColor) {
    if (Handle() == 0) return false;
    const int32_t size = std::max(CheckerSize, 1);
    const uint32_t colours[2] = {OpaquePixel(FirstColor), OpaquePixel(SecondColor)};
    // Squares start at the top-left; the last column and row are cut at the edges.
    for (int32_t y = 0; y < height_; ++y) {
        uint8_t* row = Pixels().PictureRow(y);
        const int32_t band = y / size;
        for (int32_t x = 0; x < width_;) {
            const int32_t square = x / size;
            const int32_t end = static_cast<int32_t>(std::min<int64_t>(int64_t{square + 1} * size, width_));
            const uint32_t pixel = colours[(band + square) & 1];
            for (; x < end; ++x) std::memcpy(row + static_cast<size_t>(x) * 4, &pixel, 4);
        }
    }
    alpha_ = false;
    imageType_ = imgCheckerBoard;
    return true;
}
