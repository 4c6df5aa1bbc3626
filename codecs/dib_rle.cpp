// Run-length encoded bitmaps (8 and 4 bits per pixel).
// Pixels past the end of a row are dropped, not wrapped; a delta or end of
// line moves the position; data that ends without the end-of-bitmap escape
// keeps what it decoded so far.
#include <algorithm>
#include <cstring>

#include "codecs/dib_pixels.h"

namespace dib {
namespace {

enum Escape : uint8_t { kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2 };

class PixelWriter {
public:
    PixelWriter(const std::array<uint32_t, 256>& colours, const OutputRows& out, int32_t width, int32_t height)
        : colours_(colours), out_(out), width_(width), height_(height) {}

    // count pixels alternating between two indices (the same one for 8 bits).
    void Run(int count, uint8_t first, uint8_t second) {
        const uint32_t colours[2] = {colours_[first], colours_[second]};
        uint8_t* p = Position();
        for (int i = 0, n = Visible(count); i < n; ++i, p += 4) std::memcpy(p, &colours[i & 1], 4);
        x_ += count;
    }
    // count pixels from packed indices, two to a byte for 4 bits.
    void Literal(const uint8_t* bytes, int count, bool fourBit) {
        uint8_t* p = Position();
        for (int i = 0, n = Visible(count); i < n; ++i, p += 4) {
            const uint8_t index = fourBit ? (i & 1 ? bytes[i / 2] & 15 : bytes[i / 2] >> 4) : bytes[i];
            std::memcpy(p, &colours_[index], 4);
        }
        x_ += count;
    }
    void NextLine() { x_ = 0, ++y_; }
    void Move(uint8_t dx, uint8_t dy) { x_ += dx, y_ += dy; }
    bool Done() const { return y_ >= height_; }

private:
    int Visible(int count) const { return x_ >= width_ ? 0 : int(std::min<int64_t>(count, width_ - x_)); }
    // y_ counts from the bottom row, as the data does.
    uint8_t* Position() const { return out_.Row(int32_t(height_ - 1 - y_)) + 4 * std::min(x_, width_); }

    const std::array<uint32_t, 256>& colours_;
    OutputRows out_;
    int64_t width_, height_;
    int64_t x_ = 0, y_ = 0;  // wide: runs may push x far past the row
};

}  // namespace

void ExpandRunLength(std::span<const uint8_t> data, bool fourBit, const std::array<uint32_t, 256>& colours,
                     const OutputRows& rows, int32_t width, int32_t height) {
    PixelWriter out(colours, rows, width, height);
    size_t at = 0;
    while (!out.Done() && data.size() - at >= 2) {
        const uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {  // a run of one index, or of two alternating ones
            out.Run(count, fourBit ? value >> 4 : value, fourBit ? value & 15 : value);
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
            const size_t left = data.size() - at;
            if (left < bytes) {  // cut short: what is there, then stop
                out.Literal(&data[at], int(fourBit ? left * 2 : left), fourBit);
                return;
            }
            out.Literal(&data[at], value, fourBit);
            at += bytes + (bytes & 1);
            if (at > data.size()) return;
        }
    }
}

}  // namespace dib
