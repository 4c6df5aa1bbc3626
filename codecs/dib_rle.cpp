// Run-length encoded bitmaps (8 and 4 bits per pixel).
// Pixels past the end of a row are dropped, not wrapped; a delta or end of
// line moves the position; data that ends without the end-of-bitmap escape
// keeps what it decoded so far.
#include <cstring>

#include "codecs/dib_pixels.h"

namespace dib {
namespace {

enum Escape : uint8_t { kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2 };

class PixelWriter {
public:
    PixelWriter(const std::array<uint32_t, 256>& colours, const PixelView& out)
        : colours_(colours), out_(out), width_(out.width), height_(out.height) {}

    void Put(uint8_t index) {
        if (x_ < width_ && y_ < height_) std::memcpy(out_.MemoryRow(int32_t(y_)) + 4 * x_, &colours_[index], 4);
        ++x_;
    }
    void NextLine() { x_ = 0, ++y_; }
    void Move(uint8_t dx, uint8_t dy) { x_ += dx, y_ += dy; }
    bool Done() const { return y_ >= height_; }

private:
    const std::array<uint32_t, 256>& colours_;
    PixelView out_;
    int64_t width_, height_;
    int64_t x_ = 0, y_ = 0;  // wide: runs may push x far past the row
};

}  // namespace

void ExpandRunLength(std::span<const uint8_t> data, bool fourBit, const std::array<uint32_t, 256>& colours,
                     const PixelView& pixels) {
    PixelWriter out(colours, pixels);
    size_t at = 0;
    while (!out.Done() && data.size() - at >= 2) {
        const uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {  // a run of one index, or of two alternating ones
            for (int i = 0; i < count; ++i) out.Put(fourBit ? (i & 1 ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == kEndOfLine) {
            out.NextLine();
        } else if (value == kEndOfBitmap) {
            return;
        } else if (value == kDelta) {
            if (data.size() - at < 2) return;
            out.Move(data[at], data[at + 1]);
            at += 2;
        } else {  // literal pixels, their bytes padded to a 16-bit boundary
            const size_t bytes = fourBit ? (size_t{value} + 1) / 2 : value;
            for (int i = 0; i < value; ++i) {
                const size_t byte = at + (fourBit ? size_t(i) / 2 : size_t(i));
                if (byte >= data.size()) return;
                out.Put(fourBit ? (i & 1 ? data[byte] & 15 : data[byte] >> 4) : data[byte]);
            }
            at += bytes + (bytes & 1);
            if (at > data.size()) return;
        }
    }
}

}  // namespace dib
