// The built-in inflater: zlib-wrapped DEFLATE data into a buffer of known
// size, used when zlib is absent or refuses the data.
#pragma once

#include <cstdint>
#include <span>

// The two zlib header bytes are skipped untested and the Adler-32 trailer is
// not read. Output that would run past out.size() ends inflation there,
// successfully; data that ends sooner leaves the rest of out zero-filled, so
// out need not be initialised. False on malformed or truncated data (bytes
// already written stay, the rest of out is undefined); nothing outside the
// two buffers is ever touched.
bool InflateZlibStream(std::span<const uint8_t> in, std::span<uint8_t> out);
