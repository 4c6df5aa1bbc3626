#include "codecs/checksums.h"

#include <array>
#include <cstring>

#include "codecs/checksums_x86.h"

namespace {

// Slicing by eight: table k gives the CRC of a byte followed by k zero bytes,
// so eight bytes take eight independent lookups instead of a chain of eight.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
    CrcTables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < 8; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}
constexpr CrcTables kCrc = MakeCrcTables();

inline uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

uint32_t Crc32Portable(uint32_t crc, const uint8_t* p, size_t size) {
    crc = ~crc;
    for (; size >= 8; size -= 8, p += 8) {
        const uint32_t low = LittleEndian32(p) ^ crc, high = LittleEndian32(p + 4);
        crc = kCrc[7][low & 0xFF] ^ kCrc[6][(low >> 8) & 0xFF] ^ kCrc[5][(low >> 16) & 0xFF] ^ kCrc[4][low >> 24] ^
              kCrc[3][high & 0xFF] ^ kCrc[2][(high >> 8) & 0xFF] ^ kCrc[1][(high >> 16) & 0xFF] ^ kCrc[0][high >> 24];
    }
    for (; size > 0; --size, ++p) crc = kCrc[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// The sums are reduced modulo 65521 once per 5552 bytes, the most that
// cannot overflow 32 bits; within a block 16 bytes at a time keep the
// additions independent of the loop's bookkeeping.
uint32_t Adler32Portable(uint32_t adler, const uint8_t* p, size_t size) {
    constexpr uint32_t kModulus = 65521, kBlock = 5552;
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    while (size > 0) {
        size_t n = size < kBlock ? size : kBlock;
        size -= n;
        for (; n >= 16; n -= 16, p += 16)
            for (int i = 0; i < 16; ++i) a += p[i], b += a;
        for (; n > 0; --n, ++p) a += *p, b += a;
        a %= kModulus;
        b %= kModulus;
    }
    return b << 16 | a;
}

uint32_t Crc32(uint32_t crc, const uint8_t* p, size_t size) {
#ifdef MENDLOW_X86_CHECKSUMS
    static const bool clmul = HasClmul();
    if (clmul && size >= 64) {
        const size_t folded = size & ~size_t{15};
        crc = ~Crc32RegisterClmul(~crc, p, folded);
        p += folded;
        size -= folded;
    }
#endif
    return Crc32Portable(crc, p, size);
}

uint32_t Adler32(uint32_t adler, const uint8_t* p, size_t size) {
#ifdef MENDLOW_X86_CHECKSUMS
    static const bool avx2 = HasAvx2(), sse2 = HasSse2();
    if (avx2) return Adler32Avx2(adler, p, size);
    if (sse2) return Adler32Sse2(adler, p, size);
#endif
    return Adler32Portable(adler, p, size);
}
