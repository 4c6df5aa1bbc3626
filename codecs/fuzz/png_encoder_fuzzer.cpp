// Fuzzes the PNG encoder: the first byte gives the width (1 to 64) and
// whether the image has alpha, the rest are its BGRA pixels (any values,
// premultiplied or not). A save that succeeds must decode to the predicted
// pixels: straight colour truncated, then premultiplied again, truncated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codecs/cPNGparser.h"
#include "codecs/cPNGwriter.h"
#include "imagecore/c32bppDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    const int width = 1 + data[0] % 64;
    const bool alpha = data[0] & 0x80;
    const size_t pixels = (size - 1) / 4;
    const int height = static_cast<int>(pixels / static_cast<size_t>(width));
    if (height == 0) return 0;
    c32bppDIB image;
    if (!image.InitializeDIB(width, height)) return 0;
    std::memcpy(image.BitsPointer(), data + 1, static_cast<size_t>(width) * height * 4);
    image.SetAlpha(alpha);

    std::vector<uint8_t> png;
    if (!cPNGwriter().SavePNG(image, L"", png)) return 0;
    c32bppDIB decoded;
    if (!cPNGparser().LoadStream(png, decoded, 0, static_cast<int64_t>(png.size()), 0) ||
        decoded.Width() != width || decoded.Height() != height)
        std::abort();
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        const uint8_t* p = image.BitsPointer() + i * 4;
        const uint8_t* q = decoded.BitsPointer() + i * 4;
        const unsigned a = alpha ? p[3] : 255;
        for (int c = 0; c < 3; ++c) {
            const unsigned want = a == 0 ? 0 : a == 255 ? p[c] : p[c] * 255 / a * a / 255;
            if (q[c] != want) std::abort();
        }
        if (q[3] != a) std::abort();
    }
    return 0;
}
