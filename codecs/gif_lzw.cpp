#include "codecs/gif_lzw.h"

#include <algorithm>
#include <cstring>

namespace gif {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;
constexpr uint32_t kNoCode = 0xFFFFFFFFu;

// Copies a string that already sits earlier in the output; the source may
// run into the bytes being written (a code that names itself).
inline void CopyEarlier(uint8_t* out, size_t from, size_t to, size_t count) {
    const size_t distance = to - from;
    if (count <= distance) {
        std::memcpy(out + to, out + from, count);
        return;
    }
    std::memcpy(out + to, out + from, distance);
    for (size_t i = distance; i < count; ++i) out[to + i] = out[from + i];
}

}  // namespace

// Every code's string is already in the output, so the table keeps only
// where it was last written and how long it is. A new code is the previous
// code's string plus the first byte of the current one, which is exactly
// the output from the previous code's position on: decoding a code is a
// copy from earlier output, with no prefix chains to walk.
LzwResult DecodeLzw(std::span<const uint8_t> data, int minimumCodeSize, std::span<uint8_t> indices) {
    LzwResult result;
    if (!IsLzwCodeSize(minimumCodeSize)) {
        result.end = LzwEnd::BadCode;
        return result;
    }
    if (indices.empty()) return result;

    size_t position[kTableSize];
    uint16_t length[kTableSize];

    const uint32_t clearCode = 1u << minimumCodeSize;
    const uint32_t endCode = clearCode + 1;
    const int firstWidth = minimumCodeSize + 1;
    int width = firstWidth;
    uint32_t mask = (1u << width) - 1;
    uint32_t next = endCode + 1;
    uint32_t previous = kNoCode;

    uint8_t* const out = indices.data();
    const size_t outSize = indices.size();
    size_t done = 0;
    const uint8_t* in = data.data();
    const uint8_t* const inEnd = in + data.size();
    uint64_t bits = 0;
    int bitCount = 0;

    for (;;) {
        if (bitCount < width) {
            while (bitCount <= 56 && in != inEnd) {
                bits |= uint64_t{*in++} << bitCount;
                bitCount += 8;
            }
            if (bitCount < width) {
                result.end = LzwEnd::DataEnded;
                break;
            }
        }
        const uint32_t code = static_cast<uint32_t>(bits) & mask;
        bits >>= width;
        bitCount -= width;

        if (code == clearCode) {
            width = firstWidth;
            mask = (1u << width) - 1;
            next = endCode + 1;
            previous = kNoCode;
            continue;
        }
        if (code == endCode) {
            result.end = LzwEnd::EndCode;
            break;
        }

        if (code < clearCode) {
            if (previous != kNoCode && next < kTableSize) {
                position[next] = position[previous];
                length[next] = static_cast<uint16_t>(length[previous] + 1);
                ++next;
            }
            position[code] = done;
            length[code] = 1;
            out[done++] = static_cast<uint8_t>(code);
        } else {
            // Only a defined code or the one being defined now; never right after a clear.
            if (previous == kNoCode || code > next) {
                result.end = LzwEnd::BadCode;
                break;
            }
            if (next < kTableSize) {
                position[next] = position[previous];
                length[next] = static_cast<uint16_t>(length[previous] + 1);
                ++next;
            }
            const size_t count = std::min<size_t>(length[code], outSize - done);
            CopyEarlier(out, position[code], done, count);
            position[code] = done;
            done += count;
        }
        previous = code;
        if (done == outSize) break;
        if (next > mask && width < kMaxCodeBits) {
            ++width;
            mask = (1u << width) - 1;
        }
    }
    result.produced = done;
    return result;
}

}  // namespace gif
