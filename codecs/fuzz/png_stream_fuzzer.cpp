// Fuzzes the PNG decoder's stream form. The first byte chooses whether zlib
// counts as present; the rest is the file. Images larger than 4 megapixels
// are skipped: their buffers are legitimately large, not a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "codecs/cPNGparser.h"
#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 22;

uint32_t BigEndian32(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Any header, also a later one that replaces the first, within the limit.
bool SmallEnough(std::span<const uint8_t> png) {
    for (size_t at = 8; at + 8 <= png.size();) {
        uint32_t length = BigEndian32(&png[at]);
        if (png[at + 4] == 'I' && png[at + 5] == 'H' && png[at + 6] == 'D' && png[at + 7] == 'R' &&
            at + 16 <= png.size() && uint64_t{BigEndian32(&png[at + 8])} * BigEndian32(&png[at + 12]) > kMaxPixels)
            return false;
        if (length > png.size()) break;
        at += size_t{length} + 12;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::span<const uint8_t> png(data + 1, size - 1);
    if (!SmallEnough(png)) return 0;
    modParsers::SetZlibDisabled((data[0] & 1) != 0);
    c32bppDIB image;
    cPNGparser().LoadStream(png, image, 0, static_cast<int64_t>(png.size()), 0);
    if (image.Handle() != 0) {
        // Touch every pixel: a wrong size would show here.
        volatile uint8_t sink = 0;
        for (size_t i = 0, n = size_t(image.Width()) * image.Height() * 4; i < n; i += 61) sink = sink ^ image.BitsPointer()[i];
    }
    return 0;
}
