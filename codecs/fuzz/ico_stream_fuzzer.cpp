// Fuzzes the ICO/CUR decoder's stream form. The first three bytes give the
// wanted width, height and depth (a depth byte with the top bit set reads the
// directory only); the rest is the file. PNG images larger than 4 megapixels
// are skipped: their buffers are legitimately large, not a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "codecs/cICOparser.h"
#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 22;

uint32_t BigEndian32(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Every PNG header anywhere in the file, within the limit.
bool SmallEnough(std::span<const uint8_t> file) {
    for (size_t at = 0; at + 12 <= file.size(); ++at)
        if (std::memcmp(&file[at], "IHDR", 4) == 0 &&
            uint64_t{BigEndian32(&file[at + 4])} * BigEndian32(&file[at + 8]) > kMaxPixels)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    std::span<const uint8_t> file(data + 3, size - 3);
    if (!SmallEnough(file)) return 0;
    const bool directoryOnly = (data[2] & 0x80) != 0;
    modParsers::SetZlibDisabled((data[2] & 0x40) != 0);
    c32bppDIB image;
    cICOparser parser;
    parser.LoadStream(file, data[0], data[1], directoryOnly ? nullptr : &image, 0, 0, data[2] & 0x3F, 0);
    for (int32_t i = 0; i <= parser.IconCount() + 1; ++i) {
        volatile int64_t sink = parser.Width(i) + parser.Height(i) + parser.bitDepth(i) + parser.ColorCount(i) +
                                parser.ColorByteOffset(i) + parser.IsIconPNG(i);
        (void)sink;
    }
    if (image.Handle() != 0) {
        volatile uint8_t sink = 0;
        for (size_t i = 0, n = size_t(image.Width()) * image.Height() * 4; i < n; i += 61) sink = sink ^ image.BitsPointer()[i];
    }
    return 0;
}
