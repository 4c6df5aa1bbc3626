// Fuzzes Render into a host image: every argument comes from the input,
// sizes mostly small and now and then extreme, over a small image of the
// input's pixels. Any read or write outside the grids trips the sanitizers;
// a Render that reports false must leave the host as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Mostly -64..63; one value in 16 is any 32-bit number.
    int32_t Coordinate() {
        const uint8_t b = Byte();
        if ((b & 0xF0) != 0xF0) return static_cast<int32_t>(b & 0x7F) - 64;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
        return static_cast<int32_t>(v);
    }
    const uint8_t* Rest(size_t& count) {
        count = size_ - at_;
        return data_ + at_;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    const int width = 1 + in.Byte() % 24, height = 1 + in.Byte() % 24;
    const int hostWidth = 1 + in.Byte() % 48, hostHeight = 1 + in.Byte() % 48;
    const uint8_t flags = in.Byte();
    const int32_t destX = in.Coordinate(), destY = in.Coordinate();
    int32_t destWidth = in.Coordinate(), destHeight = in.Coordinate();
    const int32_t srcX = in.Coordinate(), srcY = in.Coordinate();
    const int32_t srcWidth = in.Coordinate(), srcHeight = in.Coordinate();
    const int32_t opacity = static_cast<int8_t>(in.Byte()) * 2;
    const int32_t grey = static_cast<int32_t>(in.Byte() % 12) - 1;
    const float light = static_cast<float>(static_cast<int8_t>(in.Byte())) * 0.9f;
    const float angle = (flags & 4) ? static_cast<float>(in.Coordinate()) + in.Byte() / 256.0f : 0.0f;
    // Rotation works at the destination size: keep its square small.
    if (flags & 4) {
        if (std::abs(static_cast<int64_t>(destWidth)) > 200) destWidth %= 200;
        if (std::abs(static_cast<int64_t>(destHeight)) > 200) destHeight %= 200;
    }

    c32bppDIB image(capability::kGdiplusNever), host(capability::kGdiplusNever);
    if (!image.InitializeDIB(width, height) || !host.InitializeDIB(hostWidth, hostHeight)) return 0;
    image.SetHighQualityInterpolation(flags & 1);
    size_t count = 0;
    const uint8_t* pixels = in.Rest(count);
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    for (size_t i = 0; i < bytes && count > 0; ++i) image.BitsPointer()[i] = pixels[i % count];

    // Scaling allocates the scaled picture before clipping it to the host:
    // leave out targets that would only measure the allocator.
    const int64_t w = destWidth != 0 ? destWidth : width, h = destHeight != 0 ? destHeight : height;
    if (std::abs(w) * std::abs(h) > (int64_t{1} << 22)) return 0;

    const size_t hostBytes = static_cast<size_t>(hostWidth) * hostHeight * 4;
    uint8_t before[48 * 48 * 4];
    std::memcpy(before, host.BitsPointer(), hostBytes);
    const bool drawn = image.Render(nullptr, destX, destY, destWidth, destHeight, srcX, srcY, srcWidth, srcHeight,
                                    opacity, true, true, &host, grey, light, angle, (flags & 2) != 0);
    if ((!drawn || opacity <= 0) && std::memcmp(before, host.BitsPointer(), hostBytes) != 0) std::abort();
    return 0;
}
