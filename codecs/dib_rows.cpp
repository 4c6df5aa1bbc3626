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

// A channel widened to 8 bits as the system does: the top 8 bits of a wide
// field; a narrow one shifted up with its own top bits repeated once below.
uint32_t Widen(uint32_t pixel, Channel c) {
    if (c.length == 0) return 0;
    uint32_t v = static_cast<uint32_t>((pixel >> c.shift) & ((uint64_t{1} << c.length) - 1));
    if (c.length >= 8) return v >> (c.length - 8);
    v <<= 8 - c.length;
    return (v | v >> c.length) & 0xFF;
}

uint32_t FromChannels(uint32_t pixel, const std::array<Channel, 3>& ch) {
    return kOpaqueBlack | Widen(pixel, ch[0]) << 16 | Widen(pixel, ch[1]) << 8 | Widen(pixel, ch[2]);
}

void IndexedRow(const uint8_t* src, int bitCount, int32_t width, const Lookup& lookup, uint8_t* out) {
    const int perByte = 8 / bitCount;
    const unsigned mask = (1u << bitCount) - 1;
    for (int32_t x = 0; x < width; ++x) {
        const int bit = 8 - bitCount * (x % perByte + 1);
        Put(out + 4 * x, lookup[(src[x / perByte] >> bit) & mask]);
    }
}

void Row16(const uint8_t* src, int32_t width, const std::array<Channel, 3>& ch, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x, src += 2) Put(out + 4 * x, FromChannels(uint32_t{src[0]} | uint32_t{src[1]} << 8, ch));
}

void Row24(const uint8_t* src, int32_t width, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x, src += 3, out += 4) {
        out[0] = src[0], out[1] = src[1], out[2] = src[2], out[3] = 255;
    }
}

void Row32(const uint8_t* src, int32_t width, const std::array<Channel, 3>& ch, uint8_t* out) {
    const bool plain = ch[0].shift == 16 && ch[0].length == 8 && ch[1].shift == 8 && ch[1].length == 8 &&
                       ch[2].shift == 0 && ch[2].length == 8;
    for (int32_t x = 0; x < width; ++x, src += 4, out += 4) {
        if (plain) {
            out[0] = src[0], out[1] = src[1], out[2] = src[2], out[3] = 255;
        } else {
            uint32_t value;
            std::memcpy(&value, src, 4);
            Put(out, FromChannels(value, ch));
        }
    }
}

bool DecodeUncompressed(const Format& f, std::span<const uint8_t> pixels, const PixelView& out) {
    if (!HoldsImage(f, pixels.size())) return false;
    const std::optional<size_t> rowBytes = RowBytes(f.width, f.bitCount);
    const Lookup lookup = f.bitCount <= 8 ? MakeLookup(f.palette) : Lookup{};
    for (int32_t r = 0; r < f.height; ++r) {
        const uint8_t* src = pixels.data() + size_t(r) * *rowBytes;
        uint8_t* row = out.MemoryRow(f.topDown ? f.height - 1 - r : r);
        switch (f.bitCount) {
        case 16: Row16(src, f.width, f.channels, row); break;
        case 24: Row24(src, f.width, row); break;
        case 32: Row32(src, f.width, f.channels, row); break;
        default: IndexedRow(src, f.bitCount, f.width, lookup, row); break;
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
