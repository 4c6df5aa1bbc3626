// Fuzzes the GIF decoder's stream form. Inputs whose first image is larger
// than a megapixel are skipped: their buffers are legitimately large, not
// a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "codecs/cGIFparser.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 20;

// The first image descriptor's size, found the way the decoder walks; 0 when there is none.
uint64_t FirstImagePixels(std::span<const uint8_t> gif) {
    auto at = [&](size_t p) -> int { return p < gif.size() ? gif[p] : -1; };
    auto skipSubBlocks = [&](size_t& p) {
        for (int n; (n = at(p)) > 0;) p += 1 + static_cast<size_t>(n);
        ++p;
    };
    if (at(10) < 0) return 0;
    size_t p = 13 + (at(10) & 0x80 ? 3 * (size_t{2} << (at(10) & 7)) : 0);
    for (;;) {
        int block = at(p);
        if (block == 0) {
            ++p;
        } else if (block == 0x21 && at(p + 1) == 0xF9) {
            p += 8;
        } else if (block == 0x21 && at(p + 1) == 0xFF) {
            p += 3 + static_cast<size_t>(at(p + 2) < 0 ? 0 : at(p + 2));
            skipSubBlocks(p);
        } else if (block == 0x21) {
            p += 2;
            skipSubBlocks(p);
        } else {
            break;
        }
    }
    if (at(p) != 0x2C || at(p + 8) < 0) return 0;
    return uint64_t(at(p + 5) | at(p + 6) << 8) * uint64_t(at(p + 7) | at(p + 8) << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> gif(data, size);
    if (FirstImagePixels(gif) > kMaxPixels) return 0;
    c32bppDIB image;
    cGIFparser().LoadStream(gif, image, 0, static_cast<int64_t>(gif.size()));
    if (image.Handle() != 0) {
        // Every pixel is opaque or all zeros (transparent); a wrong size would show here too.
        const uint8_t* bits = image.BitsPointer();
        for (size_t i = 0, n = size_t(image.Width()) * image.Height() * 4; i < n; i += 4)
            if (bits[i + 3] != 255 && (bits[i] | bits[i + 1] | bits[i + 2] | bits[i + 3]) != 0) __builtin_trap();
    }
    return 0;
}
