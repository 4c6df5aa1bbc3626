// Mirroring, lightness and compositing of premultiplied BGRA pixels.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "imagecore/pixel_engine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {

void MirrorRectangle(const PixelView& source, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                     bool mirrorX, bool mirrorY, const PixelView& out) {
    if (srcX < 0 || srcY < 0 || srcX >= source.width || srcY >= source.height) return;
    width = std::min({width, source.width - srcX, out.width});
    height = std::min({height, source.height - srcY, out.height});
    for (int32_t r = 0; r < height; ++r) {
        const int32_t pictureRow = mirrorY ? source.height - 1 - srcY - r : srcY + r;
        const uint8_t* from = source.PictureRow(pictureRow);
        uint8_t* to = out.PictureRow(r);
        if (!mirrorX) {
            std::memcpy(to, from + static_cast<size_t>(srcX) * 4, static_cast<size_t>(width) * 4);
            continue;
        }
        const uint8_t* column = from + static_cast<size_t>(source.width - 1 - srcX) * 4;
        for (int32_t k = 0; k < width; ++k, to += 4, column -= 4) std::memcpy(to, column, 4);
    }
}

void AdjustLightness(const PixelView& pixels, float lightAdjustment) {
    const float fraction = lightAdjustment / 100.0f;
    const float d = fraction * 255.0f;
    // The change depends on alpha alone: d x alpha rounded half to even,
    // then divided by 255 toward zero.
    std::array<int32_t, 256> delta{};
    for (int32_t a = 1; a < 256; ++a) {
        const float scaled = d * static_cast<float>(a);
        delta[a] = static_cast<int32_t>(std::nearbyint(scaled)) / 255;
    }
    const bool brighter = d > 0;
    uint8_t* p = pixels.bits;
    for (size_t i = 0, n = pixels.PixelCount(); i < n; ++i, p += 4) {
        const int32_t a = p[3];
        if (a == 0) continue;
        for (int c = 0; c < 3; ++c) {
            const int32_t v = p[c] + delta[a];
            p[c] = static_cast<uint8_t>(brighter ? std::min(v, a) : std::max(v, 0));
        }
    }
}

namespace {

// A computed byte beyond 255 (possible only for colours above their alpha)
// leaves the destination byte as it was.
inline void Store(uint8_t& to, uint32_t value) {
    if (value <= 255) to = static_cast<uint8_t>(value);
}

inline uint32_t Grey(const uint8_t* s, const GreyWeights& w) {
    // Byte times single-precision weight is exact in double, and so is the
    // sum of three; rounding is half to even.
    const double g = s[0] * static_cast<double>(w.blue) + s[1] * static_cast<double>(w.green) +
                     s[2] * static_cast<double>(w.red);
    return static_cast<uint32_t>(std::nearbyint(g));
}

template <int DestinationBytes, bool WithGrey>
void Composite(const uint8_t* s, uint8_t* t, int32_t count, uint32_t o, const GreyWeights* grey) {
    constexpr bool host = DestinationBytes == 4;
    for (int32_t i = 0; i < count; ++i, s += 4, t += DestinationBytes) {
        const uint32_t a = s[3];
        if (a == 0) continue;
        uint32_t colour[3] = {s[0], s[1], s[2]};
        if constexpr (WithGrey) colour[0] = colour[1] = colour[2] = Grey(s, *grey);
        if (o == 255) {
            if (a == 255) {
                for (int c = 0; c < 3; ++c) Store(t[c], colour[c]);
                if constexpr (host) t[3] = 255;
                continue;
            }
            const uint32_t keep = 255 - a;
            for (int c = 0; c < 3; ++c) Store(t[c], colour[c] + t[c] * keep / 255);
            if constexpr (host) Store(t[3], a + t[3] * keep / 255);
        } else {
            const uint32_t k = 255 - a * o / 255;
            for (int c = 0; c < 3; ++c) Store(t[c], (t[c] * k + colour[c] * o) / 255);
            if constexpr (host) Store(t[3], (t[3] * k + a * o) / 255);
        }
    }
}

#if defined(__SSE2__)
// Runs half (one 16-bit lane of two pixels: source, target -> result) over
// whole groups of four pixels; the pixels done.
template <class Half>
int32_t CompositeInLanes(const uint8_t* s, uint8_t* t, int32_t count, Half half) {
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
    for (; i + 4 <= count; i += 4, s += 16, t += 16) {
        const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i target = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
        const __m128i low = half(_mm_unpacklo_epi8(source, zero), _mm_unpacklo_epi8(target, zero));
        const __m128i high = half(_mm_unpackhi_epi8(source, zero), _mm_unpackhi_epi8(target, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(t), _mm_packus_epi16(low, high));
    }
    return i;
}

// Full opacity into an image, four pixels at a time in 16-bit lanes. With
// O = 255 every byte, alpha included, is s + t x (255 - a) / 255 (a = 255
// gives s, alpha 255); a = 0 and results above 255 keep the destination.
// x / 255 = (x x 0x8081) >> 23 holds for every 16-bit x.
int32_t CompositeOpaqueLevelIntoImage(const uint8_t* s, uint8_t* t, int32_t count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i magic = _mm_set1_epi16(static_cast<short>(0x8081));
    auto half = [&](__m128i source, __m128i target) {
        __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(source, 0xFF), 0xFF);
        __m128i product = _mm_mullo_epi16(target, _mm_sub_epi16(full, alpha));
        __m128i result = _mm_add_epi16(source, _mm_srli_epi16(_mm_mulhi_epu16(product, magic), 7));
        __m128i keep = _mm_or_si128(_mm_cmpgt_epi16(result, full), _mm_cmpeq_epi16(alpha, zero));
        return _mm_or_si128(_mm_and_si128(keep, target), _mm_andnot_si128(keep, result));
    };
    return CompositeInLanes(s, t, count, half);
}

// Any other opacity into an image: every byte is (t x k + s x O) / 255 with
// k = 255 - a x O / 255 (s = a for alpha). The sum may pass 16 bits, so both
// products are divided on their own and the remainders carry one more when
// they reach 255 together.
int32_t CompositeLevelIntoImage(const uint8_t* s, uint8_t* t, int32_t count, uint32_t o) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i level = _mm_set1_epi16(static_cast<short>(o));
    const __m128i magic = _mm_set1_epi16(static_cast<short>(0x8081));
    const __m128i below = _mm_set1_epi16(254);
    auto div255 = [&](__m128i x) { return _mm_srli_epi16(_mm_mulhi_epu16(x, magic), 7); };
    auto half = [&](__m128i source, __m128i target) {
        __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(source, 0xFF), 0xFF);
        __m128i k = _mm_sub_epi16(full, div255(_mm_mullo_epi16(alpha, level)));
        __m128i x = _mm_mullo_epi16(target, k), y = _mm_mullo_epi16(source, level);
        __m128i qx = div255(x), qy = div255(y);
        __m128i rx = _mm_sub_epi16(x, _mm_mullo_epi16(qx, full)), ry = _mm_sub_epi16(y, _mm_mullo_epi16(qy, full));
        __m128i carry = _mm_srli_epi16(_mm_cmpgt_epi16(_mm_add_epi16(rx, ry), below), 15);
        __m128i result = _mm_add_epi16(_mm_add_epi16(qx, qy), carry);
        __m128i keep = _mm_or_si128(_mm_cmpgt_epi16(result, full), _mm_cmpeq_epi16(alpha, zero));
        return _mm_or_si128(_mm_and_si128(keep, target), _mm_andnot_si128(keep, result));
    };
    return CompositeInLanes(s, t, count, half);
}
#endif

}  // namespace

void CompositeRow(const uint8_t* source, uint8_t* destination, int32_t count, int destinationPixelBytes,
                  uint32_t opacity, const GreyWeights* grey) {
    if (opacity == 0) return;  // k = 255: every destination byte stays
    opacity = std::min(opacity, 255u);
#if defined(__SSE2__)
    if (destinationPixelBytes == 4 && grey == nullptr) {
        const int32_t done = opacity == 255 ? CompositeOpaqueLevelIntoImage(source, destination, count)
                                            : CompositeLevelIntoImage(source, destination, count, opacity);
        source += static_cast<size_t>(done) * 4;
        destination += static_cast<size_t>(done) * 4;
        count -= done;
    }
#endif
    if (destinationPixelBytes == 4)
        grey ? Composite<4, true>(source, destination, count, opacity, grey)
             : Composite<4, false>(source, destination, count, opacity, grey);
    else
        grey ? Composite<3, true>(source, destination, count, opacity, grey)
             : Composite<3, false>(source, destination, count, opacity, grey);
}

}  // namespace engine
