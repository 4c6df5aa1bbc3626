#include "codecs/modParsers.h"

namespace modParsers {

GrayScaleWeights GetGrayScaleWeights(int formula) {
    switch (formula) {
        case -1: return {1.0f, 1.0f, 1.0f};
        case 1: return {0.213f, 0.715f, 0.072f};
        case 2: return {0.333f, 0.334f, 0.333f};
        case 3: return {0.8f, 0.1f, 0.1f};
        case 4: return {0.1f, 0.8f, 0.1f};
        case 5: return {0.1f, 0.1f, 0.8f};
        case 6: return {0.45f, 0.45f, 0.1f};
        case 7: return {0.1f, 0.45f, 0.45f};
        default: return {0.299f, 0.587f, 0.114f};
    }
}

uint32_t SwapEndian32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

std::optional<int32_t> AlignedScanWidth(int bitsPerPixel, int32_t width) {
    if (bitsPerPixel < 0 || width < 0) return std::nullopt;
    int64_t bits = (int64_t{bitsPerPixel} * width + 31) & ~int64_t{31};
    int64_t bytes = bits / 8;
    if (bits > INT32_MAX) return std::nullopt;  // the padded bit count must fit 32 bits
    return static_cast<int32_t>(bytes);
}

}  // namespace modParsers
