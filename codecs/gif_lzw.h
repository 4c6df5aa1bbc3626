// GIF's variable-width LZW: turns the joined data sub-blocks of one image
// into palette indices, in the order they are stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace gif {

// Why decoding stopped.
enum class LzwEnd {
    Filled,     // every index was produced; anything after is ignored
    EndCode,    // the end-of-information code came first
    DataEnded,  // the data ran out before an end code
    BadCode,    // a code that names no table entry (or an unusable code size)
};

struct LzwResult {
    size_t produced = 0;  // indices written from the start of the output
    LzwEnd end = LzwEnd::Filled;
};

// Minimum code sizes an image may declare: up to 8 bits per index. Size 1
// (two colours) is not in the format's rules but some writers use it; it
// widens to 3-bit codes after the first code, as giflib reads it.
constexpr bool IsLzwCodeSize(int minimumCodeSize) { return minimumCodeSize >= 1 && minimumCodeSize <= 8; }

// Decodes until the output is full, an end code, the end of the data or a
// code that cannot be decoded. Output beyond `produced` is left untouched.
// A full table (4096 codes) stays in use until the next clear code.
LzwResult DecodeLzw(std::span<const uint8_t> data, int minimumCodeSize, std::span<uint8_t> indices);

}  // namespace gif
