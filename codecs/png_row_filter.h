// PNG row filtering for the encoder: the Paeth filter (type 4) of one row
// against the row above.
#pragma once

#include <cstddef>
#include <cstdint>

namespace png_encode {

// The predictor of the format: the neighbour (left a, up b, up-left c)
// nearest to a + b - c, ties to a, then b.
inline uint8_t PaethPredictor(int a, int b, int c) {
    const int pa = b > c ? b - c : c - b;
    const int pb = a > c ? a - c : c - a;
    const int pc = a + b - 2 * c > 0 ? a + b - 2 * c : 2 * c - a - b;
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// out[i] = raw[i] - Paeth(raw[i - bpp], up[i], up[i - bpp]) for length bytes,
// neighbours outside the row counting as 0. up is all zeros for the first row.
void PaethFilterRow(const uint8_t* raw, const uint8_t* up, size_t length, size_t bpp, uint8_t* out);

}  // namespace png_encode
