// The generated pictures both PNG benchmarks use: photo-like (smooth fields
// with fine noise) or flat (large areas of few colours), per channel.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace bench_images {

constexpr int kSize = 1024;

inline uint8_t Sample(bool photo, int x, int y, int channel, uint32_t& noise) {
    noise = noise * 1664525u + 1013904223u;
    if (!photo) return static_cast<uint8_t>(((x / 96) * 37 + (y / 64) * 59 + channel * 80) % 7 * 36);
    double v = 128 + 60 * std::sin(x * 0.011 + channel) + 50 * std::cos(y * 0.017 - channel * 0.5) +
               10 * std::sin((x + y) * 0.05);
    return static_cast<uint8_t>(std::clamp(v + static_cast<int>(noise >> 29) - 4, 0.0, 255.0));
}

// Sample as the benchmarks store it: palette indexes below 200, alpha 128 and up.
inline uint8_t StoredSample(bool photo, bool palette, int x, int y, int channel, uint32_t& noise) {
    uint8_t v = Sample(photo, x, y, channel, noise);
    if (palette) v = static_cast<uint8_t>(v % 200);
    if (channel == 3) v = static_cast<uint8_t>(128 + v / 2);
    return v;
}

// The palette of the palette images.
inline void PaletteEntry(int index, uint8_t& r, uint8_t& g, uint8_t& b) {
    r = static_cast<uint8_t>(index), g = static_cast<uint8_t>(255 - index), b = static_cast<uint8_t>(index * 7);
}

}  // namespace bench_images
