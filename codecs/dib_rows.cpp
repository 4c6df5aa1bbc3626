// Pixel rows of device-independent bitmaps to 32-bit BGRA, alpha 255.
#include <algorithm>
#include <array>
#include <cstring>

#include "codecs/dib_pixels.h"

namespace dib {
namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000u;

using Lookup = std::array<uint32_t, 256>;

// Every index a pixel can hold; those past the table are black.
Lookup MakeLookup(const std::vector<uint32_t>& palette) {
    Lookup lookup;
    lookup.fill(kOpaqueBlack);
    std::copy_n(palette.begin(), std::min(palette.size(), size_t{256}), lookup.begin());
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

struct Fields {
    explicit Fields(const std::array<Channel, 3>& ch) : red(ch[0]), green(ch[1]), blue(ch[2]) {}
    uint32_t operator()(uint32_t pixel) const { return kOpaqueBlack | red(pixel) << 16 | green(pixel) << 8 | blue(pixel); }
    Field red, green, blue;
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

void Row24(const uint8_t* src, int32_t width, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x, src += 3, out += 4) {
        out[0] = src[0], out[1] = src[1], out[2] = src[2], out[3] = 255;
    }
}

void Row32(const uint8_t* src, int32_t width, const Fields& fields, bool plain, uint8_t* out) {
    if (plain) {
        for (int32_t x = 0; x < width; ++x, src += 4, out += 4) out[0] = src[0], out[1] = src[1], out[2] = src[2], out[3] = 255;
        return;
    }
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

bool DecodeUncompressed(const Format& f, std::span<const uint8_t> pixels, const PixelView& out) {
    if (!HoldsImage(f, pixels.size())) return false;
    const std::optional<size_t> rowBytes = RowBytes(f.width, f.bitCount);
    const Lookup lookup = f.bitCount <= 8 ? MakeLookup(f.palette) : Lookup{};
    const Fields fields(f.channels);
    const bool plain = Plain32(f.channels);
    for (int32_t r = 0; r < f.height; ++r) {
        const uint8_t* src = pixels.data() + size_t(r) * *rowBytes;
        uint8_t* row = out.MemoryRow(f.topDown ? f.height - 1 - r : r);
        switch (f.bitCount) {
        case 1: IndexedRow<1>(src, f.width, lookup, row); break;
        case 4: IndexedRow<4>(src, f.width, lookup, row); break;
        case 8: IndexedRow<8>(src, f.width, lookup, row); break;
        case 16: Row16(src, f.width, fields, row); break;
        case 24: Row24(src, f.width, row); break;
        default: Row32(src, f.width, fields, plain, row); break;
        }
    }
    return true;
}

// Pixels the data never reaches stay black, as the system leaves them.
bool DecodeRunLength(const Format& f, std::span<const uint8_t> data, const PixelView& out) {
    uint8_t* pixel = out.bits;
    for (size_t i = 0, n = out.PixelCount(); i < n; ++i, pixel += 4) Put(pixel, kOpaqueBlack);
    ExpandRunLength(data, f.compression == Compression::Rle4, MakeLookup(f.palette), out);
    return true;
}

}  // namespace

bool HoldsImage(const Format& format, size_t pixelBytes) {
    if (format.compression == Compression::Rle8 || format.compression == Compression::Rle4) return true;
    const std::optional<size_t> rowBytes = RowBytes(format.width, format.bitCount);
    return rowBytes && *rowBytes > 0 && pixelBytes / *rowBytes >= size_t(format.height);
}

bool DecodePixels(const Format& format, std::span<const uint8_t> pixels, const PixelView& out) {
    if (out.width != format.width || out.height != format.height || out.bits == nullptr) return false;
    if (format.compression == Compression::Rle8 || format.compression == Compression::Rle4)
        return DecodeRunLength(format, pixels, out);
    return DecodeUncompressed(format, pixels, out);
}

}  // namespace dib
