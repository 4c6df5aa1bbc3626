// Pixels exchanged with callers: one pixel, or rectangles in other layouts
// (24/32-bit, BGR/RGB, top-down/bottom-up, premultiplied/straight).
#include <algorithm>
#include <optional>

#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

namespace {

// Straight colour from a premultiplied one; clamped, since a buffer that was
// written behind our back may hold colours above their alpha.
inline uint8_t Unpremultiply(unsigned colour, unsigned alpha) {
    return static_cast<uint8_t>(std::min(255u, colour * 255 / alpha));
}

// A rectangle inside the image, picture rows counted from the top.
struct Rect {
    int32_t x, y, width, height;
};

// 0 for width or height means to the image's edge; the rest is cut at the
// right and bottom edges. Nothing for negative values or an empty result.
std::optional<Rect> ClipRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t imageWidth,
                             int32_t imageHeight) {
    if (x < 0 || y < 0 || width < 0 || height < 0) return std::nullopt;
    if (x >= imageWidth || y >= imageHeight) return std::nullopt;
    if (width == 0) width = imageWidth;
    if (height == 0) height = imageHeight;
    width = std::min(width, imageWidth - x);
    height = std::min(height, imageHeight - y);
    return Rect{x, y, width, height};
}

size_t RowBytes(int32_t width, bool is32bpp, bool wordAligned) {
    const size_t w = static_cast<size_t>(width);
    if (is32bpp) return w * 4;
    return wordAligned ? (w * 24 + 31) / 32 * 4 : w * 3;
}

}  // namespace

int32_t c32bppDIB::GetPixel(int32_t x, int32_t y, int32_t* AlphaValue, bool asPreMultiplied) const {
    if (AlphaValue) *AlphaValue = 0;
    if (Handle() == 0 || x < 0 || y < 0 || x >= width_ || y >= height_) return -1;
    const uint8_t* p = Pixels().PictureRow(y) + static_cast<size_t>(x) * 4;
    const unsigned a = p[3];
    if (AlphaValue) *AlphaValue = static_cast<int32_t>(a);
    unsigned b = p[0], g = p[1], r = p[2];
    if (!asPreMultiplied && a != 0 && a != 255) {
        b = Unpremultiply(b, a);
        g = Unpremultiply(g, a);
        r = Unpremultiply(r, a);
    }
    return static_cast<int32_t>(r | g << 8 | b << 16);
}

bool c32bppDIB::GetDIBbits(std::vector<uint8_t>& outStream, bool as2dArray, bool asBGRformat, bool as32bpp,
                           bool asWordAligned, bool asBottomUp, int32_t x, int32_t y, int32_t Width, int32_t Height,
                           bool asPreMultiplied, int32_t* rowBytes) const {
    if (Handle() == 0) return false;
    const std::optional<Rect> rect = ClipRect(x, y, Width, Height, width_, height_);
    if (!rect) return false;

    const size_t rowSize = RowBytes(rect->width, as32bpp, asWordAligned);
    const size_t total = rowSize * static_cast<size_t>(rect->height);
    if (rowBytes) *rowBytes = static_cast<int32_t>(as2dArray ? rowSize : total);

    const bool storedForm = as32bpp && asBGRformat && asBottomUp && asPreMultiplied;
    if (storedForm && rect->width == width_ && rect->height == height_) {
        outStream.assign(BitsPointer(), BitsPointer() + total);
        return true;
    }

    outStream.assign(total, 0);
    const size_t pixelSize = as32bpp ? 4 : 3;
    const int first = asBGRformat ? 0 : 2;  // where blue goes
    const int last = 2 - first;             // where red goes
    for (int32_t row = 0; row < rect->height; ++row) {
        const uint8_t* src = Pixels().PictureRow(rect->y + row) + static_cast<size_t>(rect->x) * 4;
        const int32_t outRow = asBottomUp ? rect->height - 1 - row : row;
        uint8_t* dst = outStream.data() + static_cast<size_t>(outRow) * rowSize;
        for (int32_t i = 0; i < rect->width; ++i, src += 4, dst += pixelSize) {
            const unsigned a = src[3];
            uint8_t b = src[0], g = src[1], r = src[2];
            if (!asPreMultiplied && a != 255) {
                if (a == 0) {
                    b = g = r = 0;
                } else {
                    b = Unpremultiply(b, a);
                    g = Unpremultiply(g, a);
                    r = Unpremultiply(r, a);
                }
            }
            dst[first] = b;
            dst[1] = g;
            dst[last] = r;
            if (as32bpp) dst[3] = static_cast<uint8_t>(a);
        }
    }
    return true;
}

bool c32bppDIB::SetDIBbits(std::span<const uint8_t> inStream, bool isBGRformat, bool is32bpp, bool isWordAligned,
                           bool isBottomUp, int32_t dstX, int32_t dstY, int32_t dstWidth, int32_t dstHeight) {
    if (Handle() == 0 || inStream.empty()) return false;
    const std::optional<Rect> rect = ClipRect(dstX, dstY, dstWidth, dstHeight, width_, height_);
    if (!rect) return false;

    // The rows that are read must all be there; a sub-rectangle needs only its own rows.
    const size_t rowSize = RowBytes(rect->width, is32bpp, isWordAligned);
    if (inStream.size() < rowSize * static_cast<size_t>(rect->height)) return false;

    const size_t pixelSize = is32bpp ? 4 : 3;
    const int first = isBGRformat ? 0 : 2;
    const int last = 2 - first;
    for (int32_t row = 0; row < rect->height; ++row) {
        const int32_t inRow = isBottomUp ? rect->height - 1 - row : row;
        const uint8_t* src = inStream.data() + static_cast<size_t>(inRow) * rowSize;
        uint8_t* dst = Pixels().PictureRow(rect->y + row) + static_cast<size_t>(rect->x) * 4;
        for (int32_t i = 0; i < rect->width; ++i, src += pixelSize, dst += 4) {
            dst[0] = src[first];
            dst[1] = src[1];
            dst[2] = src[last];
            if (is32bpp) dst[3] = src[3];
        }
    }

    bool hasAlpha = false;
    int32_t analysedType = imageType_;  // the analysis decides Alpha only
    modParsers::ValidateAlphaChannel(Pixels(), true, hasAlpha, analysedType);
    alpha_ = hasAlpha;
    return true;
}
