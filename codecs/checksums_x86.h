// The checksums with x86 vector instructions, each compiled for its
// instructions alone and chosen at run time by checksums.cpp when the
// processor has them.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define MENDLOW_X86_CHECKSUMS 1

// Carry-less multiplication (PCLMULQDQ with SSE4.1): size at least 64 and a
// multiple of 16; takes and gives the CRC register, that is inverted values.
uint32_t Crc32RegisterClmul(uint32_t crcRegister, const uint8_t* data, size_t size);
bool HasClmul();

// SSE2, 16 bytes a step; any size.
uint32_t Adler32Sse2(uint32_t adler, const uint8_t* data, size_t size);
bool HasSse2();
// AVX2, 32 bytes a step; any size.
uint32_t Adler32Avx2(uint32_t adler, const uint8_t* data, size_t size);
bool HasAvx2();
#endif
