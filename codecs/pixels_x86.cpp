#include "codecs/pixels_x86.h"

#ifdef MENDLOW_X86_PIXELS
#include <immintrin.h>

bool HasSsse3() { return __builtin_cpu_supports("ssse3"); }

__attribute__((target("ssse3"))) void ExpandRgbSsse3(const uint8_t* rgb, uint8_t* pixels, size_t count,
                                                     bool redFirst) {
    // -1 clears the alpha byte, which the OR then sets.
    const __m128i order = redFirst ? _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1)
                                   : _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    size_t k = 0;
    // Each load reads 16 bytes for 12, so the loop stops while 18 remain.
    for (; k + 6 <= count; k += 4, rgb += 12, pixels += 16) {
        const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_or_si128(_mm_shuffle_epi8(samples, order), opaque));
    }
    for (; k < count; ++k, rgb += 3, pixels += 4) {
        pixels[0] = rgb[redFirst ? 0 : 2], pixels[1] = rgb[1], pixels[2] = rgb[redFirst ? 2 : 0], pixels[3] = 255;
    }
}
#endif
