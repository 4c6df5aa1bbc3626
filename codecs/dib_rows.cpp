// Pixel rows of device-independent bitmaps to 32-bit pixels, alpha 255, in
// the output's channel order.
#include <algorithm>
#include <array>
#include <cstring>

#include "codecs/dib_pixels.h"

namespace dib {
namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000u;

using Lookup = std::array<uint32_t, 256>;

// 0xAARRGGBB as four bytes in memory: blue first, or red first.
uint32_t Ordered(uint32_t argb, bool redFirst) {
    return redFirst ? (argb & 0xFF00FF00u) | (argb >> 16 & 0xFF) | (argb & 0xFF) << 16 : argb;
}

// Every index a pixel can hold; those past the table are black.
Lookup MakeLookup(const std::vector<uint32_t>& palette, bool redFirst) {
    Lookup lookup;
    lookup.fill(kOpaqueBlack);
    std::copy_n(palette.begin(), std::min(palette.size(), size_t{256}), lookup.begin());
    for (uint32_t& colour : lookup) colour = Ordered(colour, redFirst);
    return lookup;
}

void Put(uint8_t* pixel, uint32_t bgra) { std::memcpy(pixel, &bgra, 4); }

// A bit field read as 8 bits, the way the system widens it: a wide field
// gives its top 8 bits; a narrow one is shifted up with its own top bits
// repeated once below. The narrow values go through a table.
class Field {
public:
    explicit Field(Channel c) {
        if (c.length == 0) return;  // an empty mask reads as 0
        const int kept = c.length > 8 ? 8 : c.length;
        shift_ = uint8_t(c.shift + c.length - kept);
        mask_ = (1u << kept) - 1;
        for (uint32_t v = 0; v <= mask_; ++v) {
            const uint32_t up = v << (8 - kept);
            table_[v] = uint8_t(kept == 8 ? v : (up | up >> kept));
        }
    }
    uint32_t operator()(uint32_t pixel) const { return table_[(pixel >> shift_) & mask_]; }

private:
    uint8_t shift_ = 0;
    uint32_t mask_ = 0;
    std::array<uint8_t, 256> table_{};
};

// The three fields by the memory byte they go to: red is byte 0 when redFirst.
struct Fields {
    Fields(const std::array<Channel, 3>& ch, bool redFirst)
        : byte2(ch[redFirst ? 2 : 0]), byte1(ch[1]), byte0(ch[redFirst ? 0 : 2]) {}
    uint32_t operator()(uint32_t pixel) const { return kOpaqueBlack | byte2(pixel) << 16 | byte1(pixel) << 8 | byte0(pixel); }
    Field byte2, byte1, byte0;
};

template <int kBits>
void IndexedRow(const uint8_t* src, int32_t width, const Lookup& lookup, uint8_t* out) {
    constexpr int kPerByte = 8 / kBits;
    constexpr unsigned kMask = (1u << kBits) - 1;
    int32_t x = 0;
    for (; x + kPerByte <= width; ++src)
        for (int k = 1; k <= kPerByte; ++k, ++x) Put(out + 4 * x, lookup[(*src >> (8 - kBits * k)) & kMask]);
    for (int k = 1; x < width; ++k, ++x) Put(out + 4 * x, lookup[(*src >> (8 - kBits * k)) & kMask]);
}

void Row16(const uint8_t* src, int32_t width, const Fields& fields, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x, src += 2) Put(out + 4 * x, fields(uint32_t{src[0]} | uint32_t{src[1]} << 8));
}

// Blue, green, red samples, a pixel every kStep bytes.
template <int kStep>
void RowOfSamples(const uint8_t* src, int32_t width, bool redFirst, uint8_t* out) {
    const int b = redFirst ? 2 : 0, r = 2 - b;
    for (int32_t x = 0; x < width; ++x, src += kStep, out += 4) out[b] = src[0], out[1] = src[1], out[r] = src[2], out[3] = 255;
}

void Row32(const uint8_t* src, int32_t width, const Fields& fields, bool plain, bool redFirst, uint8_t* out) {
    if (plain) return RowOfSamples<4>(src, width, redFirst, out);
    for (int32_t x = 0; x < width; ++x, src += 4, out += 4) {
        uint32_t value;
        std::memcpy(&value, src, 4);
        Put(out, fields(value));
    }
}

bool Plain32(const std::array<Channel, 3>& ch) {
    return ch[0].shift == 16 && ch[0].length == 8 && ch[1].shift == 8 && ch[1].length == 8 && ch[2].shift == 0 &&
           ch[2].length == 8;
}

bool DecodeUncompressed(const Format& f, std::span<const uint8_t> pixels, const OutputRows& out) {
    if (!HoldsImage(f, pixels.size())) return false;
    const std::optional<size_t> rowBytes = RowBytes(f.width, f.bitCount);
    const Lookup lookup = f.bitCount <= 8 ? MakeLookup(f.palette, out.redFirst) : Lookup{};
    const Fields fields(f.channels, out.redFirst);
    const bool plain = Plain32(f.channels);
    for (int32_t r = 0; r < f.height; ++r) {
        const uint8_t* src = pixels.data() + size_t(r) * *rowBytes;
        uint8_t* row = out.Row(f.topDown ? r : f.height - 1 - r);
        switch (f.bitCount) {
        case 1: IndexedRow<1>(src, f.width, lookup, row); break;
        case 4: IndexedRow<4>(src, f.width, lookup, row); break;
        case 8: IndexedRow<8>(src, f.width, lookup, row); break;
        case 16: Row16(src, f.width, fields, row); break;
        case 24: RowOfSamples<3>(src, f.width, out.redFirst, row); break;
        default: Row32(src, f.width, fields, plain, out.redFirst, row); break;
        }
    }
    return true;
}

// Pixels the data never reaches stay black, as the system leaves them.
bool DecodeRunLength(const Format& f, std::span<const uint8_t> data, const OutputRows& out) {
    for (int32_t y = 0; y < f.height; ++y) {
        uint8_t* pixel = out.Row(y);
        for (int32_t x = 0; x < f.width; ++x, pixel += 4) Put(pixel, kOpaqueBlack);
    }
    ExpandRunLength(data, f.compression == Compression::Rle4, MakeLookup(f.palette, out.redFirst), out, f.width,
                    f.height);
    return true;
}

}  // namespace

bool HoldsImage(const Format& format, size_t pixelBytes) {
    if (format.compression == Compression::Rle8 || format.compression == Compression::Rle4) return true;
    const std::optional<size_t> rowBytes = RowBytes(format.width, format.bitCount);
    return rowBytes && *rowBytes > 0 && pixelBytes / *rowBytes >= size_t(format.height);
}

bool DecodePixels(const Format& format, std::span<const uint8_t> pixels, const OutputRows& out) {
    if (out.top == nullptr) return false;
    if (format.compression == Compression::Rle8 || format.compression == Compression::Rle4)
        return DecodeRunLength(format, pixels, out);
    return DecodeUncompressed(format, pixels, out);
}

}  // namespace dib
