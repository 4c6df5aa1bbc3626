// Fuzzes the BMP decoder's stream form; the input is the file. Images larger
// than 4 megapixels are skipped: their buffers are legitimately large (run-
// length data may be tiny), not a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "codecs/cBMPparser.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 22;

int64_t Read32(const uint8_t* p) { return int32_t(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24); }

bool SmallEnough(std::span<const uint8_t> bmp) {
    if (bmp.size() < 26) return true;
    const bool core = Read32(&bmp[14]) == 12;
    const uint64_t width = core ? (bmp[18] | bmp[19] << 8) : std::llabs(Read32(&bmp[18]));
    const uint64_t height = core ? (bmp[20] | bmp[21] << 8) : std::llabs(Read32(&bmp[22]));
    return width * height <= kMaxPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bmp(data, size);
    if (!SmallEnough(bmp)) return 0;
    c32bppDIB image;
    cBMPparser().LoadStream(bmp, image, 0, static_cast<int64_t>(size));
    if (image.Handle() != 0) {
        // Touch every pixel: a wrong size would show here.
        volatile uint8_t sink = 0;
        for (size_t i = 0, n = size_t(image.Width()) * image.Height() * 4; i < n; i += 61) sink = sink ^ image.BitsPointer()[i];
    }
    return 0;
}
