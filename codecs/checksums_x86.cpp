#include "codecs/checksums_x86.h"

#ifdef MENDLOW_X86_CHECKSUMS
#include <immintrin.h>

namespace {

__attribute__((target("sse2"))) inline __m128i Load(const uint8_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// lane x k (its low half by k's low, its high half by k's high) + next.
__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i lane, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(lane, k, 0x00), _mm_clmulepi64_si128(lane, k, 0x11)), next);
}

__attribute__((target("sse2"))) inline uint64_t LaneSum(__m128i v) {
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(v));
}

__attribute__((target("avx2"))) inline uint64_t LaneSum256(__m256i v) {
    return LaneSum(_mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
}

}  // namespace

// CRC-32 by folding: the data is four 128-bit lanes that are multiplied
// forward over 512 bits (x^(512+64) and x^512 mod P, bit-reflected) and
// combined with the next 64 bytes; then the lanes fold into one (over 128
// bits), which is reduced to 64 and, by Barrett's method, to 32 bits. The
// constants are those of the bit-reflected CRC-32 polynomial 0x104C11DB7.
__attribute__((target("pclmul,sse4.1"))) uint32_t Crc32RegisterClmul(uint32_t crcRegister, const uint8_t* p,
                                                                     size_t size) {
    const __m128i over512 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i over128 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i over64 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i barrett = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);

    __m128i a = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crcRegister)));
    __m128i b = Load(p + 16), c = Load(p + 32), d = Load(p + 48);
    for (p += 64, size -= 64; size >= 64; p += 64, size -= 64) {
        a = Fold(a, over512, Load(p));
        b = Fold(b, over512, Load(p + 16));
        c = Fold(c, over512, Load(p + 32));
        d = Fold(d, over512, Load(p + 48));
    }
    __m128i x = Fold(Fold(Fold(a, over128, b), over128, c), over128, d);
    for (; size >= 16; p += 16, size -= 16) x = Fold(x, over128, Load(p));

    // 128 to 64 bits, then 64 to 32.
    x = _mm_xor_si128(_mm_clmulepi64_si128(x, over128, 0x10), _mm_srli_si128(x, 8));
    x = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), over64, 0x00), _mm_srli_si128(x, 4));
    __m128i q = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
    q = _mm_clmulepi64_si128(_mm_and_si128(q, low32), barrett, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x, q), 1));
}

bool HasClmul() { return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1"); }

// Per 16 bytes: a grows by their sum, b by 16 x a before them plus the
// bytes weighted 16 down to 1. Sums of bytes come from PSADBW, weighted sums
// from PMADDWD; a's running values are summed in their own lanes and
// multiplied by 16 once per block. Blocks of 5552 bytes keep every lane
// below 2^32 before the modulus.
__attribute__((target("sse2"))) uint32_t Adler32Sse2(uint32_t adler, const uint8_t* p, size_t size) {
    constexpr uint32_t kModulus = 65521;
    constexpr size_t kBlock = 5552 / 16 * 16;
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsHigh = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsLow = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    while (size >= 16) {
        const size_t n = size < kBlock ? size / 16 * 16 : kBlock;
        __m128i bytesSum = zero, earlierSums = zero, weighted = zero;
        for (size_t i = 0; i < n; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            earlierSums = _mm_add_epi32(earlierSums, bytesSum);
            bytesSum = _mm_add_epi32(bytesSum, _mm_sad_epu8(v, zero));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weightsHigh));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weightsLow));
        }
        const uint64_t newB = b + uint64_t{a} * n + 16 * LaneSum(earlierSums) + LaneSum(weighted);
        a = static_cast<uint32_t>((a + LaneSum(bytesSum)) % kModulus);
        b = static_cast<uint32_t>(newB % kModulus);
        p += n;
        size -= n;
    }
    for (; size > 0; --size, ++p) a += *p, b += a;
    return (b % kModulus) << 16 | (a % kModulus);
}

bool HasSse2() { return __builtin_cpu_supports("sse2"); }

// The same 32 bytes a step: VPMADDUBSW weights the bytes 32 down to 1 in
// 16-bit pairs, VPMADDWD adds the pairs into 32-bit lanes.
__attribute__((target("avx2"))) uint32_t Adler32Avx2(uint32_t adler, const uint8_t* p, size_t size) {
    constexpr uint32_t kModulus = 65521;
    constexpr size_t kBlock = 5552 / 32 * 32;
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    const __m256i zero = _mm256_setzero_si256(), ones = _mm256_set1_epi16(1);
    const __m256i weights = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14,
                                             13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    while (size >= 32) {
        const size_t n = size < kBlock ? size / 32 * 32 : kBlock;
        __m256i bytesSum = zero, earlierSums = zero, weighted = zero;
        for (size_t i = 0; i < n; i += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
            earlierSums = _mm256_add_epi32(earlierSums, bytesSum);
            bytesSum = _mm256_add_epi32(bytesSum, _mm256_sad_epu8(v, zero));
            weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
        }
        const uint64_t newB = b + uint64_t{a} * n + 32 * LaneSum256(earlierSums) + LaneSum256(weighted);
        a = static_cast<uint32_t>((a + LaneSum256(bytesSum)) % kModulus);
        b = static_cast<uint32_t>(newB % kModulus);
        p += n;
        size -= n;
    }
    return Adler32Sse2(b << 16 | a, p, size);
}

bool HasAvx2() { return __builtin_cpu_supports("avx2"); }

#endif
