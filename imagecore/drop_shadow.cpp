// A blurred silhouette of the image's alpha in one colour.
#include <algorithm>
#include <vector>

#include "imagecore/c32bppDIB.h"

std::unique_ptr<c32bppDIB> c32bppDIB::CreateDropShadow(int32_t blurDepth, int32_t Color) const {
    if (Handle() == 0) return nullptr;
    const int32_t d = 2 * std::clamp(blurDepth, 0, 10);
    const uint32_t k = static_cast<uint32_t>((d + 1) * (d + 1));

    auto shadow = std::make_unique<c32bppDIB>();
    shadow->SetGdiToken(gdiToken_);
    if (!shadow->InitializeDIB(width_ + d, height_ + d)) return nullptr;

    const uint8_t blue = static_cast<uint8_t>(Color >> 16), green = static_cast<uint8_t>(Color >> 8),
                  red = static_cast<uint8_t>(Color);
    const PixelView source = Pixels(), target = shadow->Pixels();
    // Alpha sums of each source column over the source rows that reach the
    // current shadow row (memory rows i - d ... i): one row enters and one
    // leaves per shadow row, so each pixel costs a constant amount.
    std::vector<uint32_t> columnSums(static_cast<size_t>(width_), 0);
    for (int32_t i = 0; i < target.height; ++i) {
        if (i < height_) {
            const uint8_t* row = source.MemoryRow(i);
            for (int32_t c = 0; c < width_; ++c) columnSums[c] += row[c * 4 + 3];
        }
        if (i - d - 1 >= 0 && i - d - 1 < height_) {
            const uint8_t* row = source.MemoryRow(i - d - 1);
            for (int32_t c = 0; c < width_; ++c) columnSums[c] -= row[c * 4 + 3];
        }

        uint8_t* out = target.MemoryRow(i);
        uint32_t sum = 0;
        for (int32_t p = 0; p < target.width; ++p, out += 4) {
            if (p < width_) sum += columnSums[p];  // source columns p - d ... p
            const uint32_t a = sum / k;
            if (p - d >= 0) sum -= columnSums[p - d];
            if (a == 0) continue;  // the new buffer is already 0
            if (a == 255) {
                out[0] = blue, out[1] = green, out[2] = red;
            } else {
                out[0] = static_cast<uint8_t>(blue * a / 255);
                out[1] = static_cast<uint8_t>(green * a / 255);
                out[2] = static_cast<uint8_t>(red * a / 255);
            }
            out[3] = static_cast<uint8_t>(a);
        }
    }
    shadow->SetAlpha(true);
    shadow->SetImageType(imgBitmapPremultiplied);
    return shadow;
}
