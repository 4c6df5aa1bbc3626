// The two checksums of a PNG file: CRC-32 over each chunk's type and data,
// Adler-32 over the inflated image data. Both continue from a running value
// (start with 0 for CRC-32 and 1 for Adler-32), as zlib's functions do.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size);

// The portable forms, which the vector ones are held to.
uint32_t Crc32Portable(uint32_t crc, const uint8_t* data, size_t size);
uint32_t Adler32Portable(uint32_t adler, const uint8_t* data, size_t size);
