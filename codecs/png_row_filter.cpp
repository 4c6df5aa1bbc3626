#include "codecs/png_row_filter.h"

#include <cstring>

namespace png_encode {
namespace {

#if defined(__GNUC__) && (defined(__SSE2__) || defined(__ARM_NEON))
// Encoding reads only unfiltered bytes, so every position is independent:
// eight bytes at a time in 16-bit lanes, selecting with masks.
typedef uint8_t EightBytes __attribute__((vector_size(8)));
typedef int16_t Lanes __attribute__((vector_size(16)));

Lanes Load(const uint8_t* p) {
    EightBytes bytes;
    std::memcpy(&bytes, p, 8);
    return __builtin_convertvector(bytes, Lanes);
}

Lanes Abs(Lanes v) {
    const Lanes sign = v >> 15;
    return (v ^ sign) - sign;
}

// Filters bytes [from, to) (from >= bpp); returns where it stopped.
size_t PaethEight(const uint8_t* raw, const uint8_t* up, size_t from, size_t to, size_t bpp, uint8_t* out) {
    size_t i = from;
    for (; i + 8 <= to; i += 8) {
        const Lanes x = Load(raw + i), a = Load(raw + i - bpp), b = Load(up + i), c = Load(up + i - bpp);
        const Lanes pa = Abs(b - c), pb = Abs(a - c), pc = Abs(a + b - c - c);
        const Lanes takeA = (pa <= pb) & (pa <= pc);
        const Lanes takeB = pb <= pc;
        const Lanes predictor = (a & takeA) | (~takeA & ((b & takeB) | (c & ~takeB)));
        const EightBytes result = __builtin_convertvector(x - predictor, EightBytes);
        std::memcpy(out + i, &result, 8);
    }
    return i;
}
#else
size_t PaethEight(const uint8_t*, const uint8_t*, size_t from, size_t, size_t, uint8_t*) { return from; }
#endif

}  // namespace

void PaethFilterRow(const uint8_t* raw, const uint8_t* up, size_t length, size_t bpp, uint8_t* out) {
    const size_t lead = bpp < length ? bpp : length;
    // Left and up-left are 0: the predictor is the byte above.
    for (size_t i = 0; i < lead; ++i) out[i] = static_cast<uint8_t>(raw[i] - up[i]);
    for (size_t i = PaethEight(raw, up, lead, length, bpp, out); i < length; ++i)
        out[i] = static_cast<uint8_t>(raw[i] - PaethPredictor(raw[i - bpp], up[i], up[i - bpp]));
}

}  // namespace png_encode
