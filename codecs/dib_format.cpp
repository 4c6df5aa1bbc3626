// Information headers and colour tables of device-independent bitmaps.
#include <bit>

#include "codecs/dib_pixels.h"

namespace dib {
namespace {

constexpr size_t kCoreHeader = 12;
constexpr size_t kInfoHeader = 40;
constexpr size_t kMasksEnd = 52;  // three masks after the 40-byte part, inside the header or after it

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }

bool KnownHeaderSize(uint32_t size) {
    return size == kCoreHeader || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownDepth(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// The contiguous run of set bits starting at the mask's lowest set bit.
Channel ChannelOf(uint32_t mask) {
    if (mask == 0) return {};
    int shift = std::countr_zero(mask);
    int length = std::countr_one(mask >> shift);
    return {static_cast<uint8_t>(shift), static_cast<uint8_t>(length)};
}

// entrySize 3 (core) or 4 bytes per entry, blue, green, red.
bool ReadPalette(std::span<const uint8_t> bytes, size_t at, size_t count, size_t entrySize, Format& f) {
    if (at > bytes.size() || (bytes.size() - at) / entrySize < count) return false;
    f.palette.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = &bytes[at + i * entrySize];
        f.palette[i] = 0xFF000000u | uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0];
    }
    return true;
}

std::optional<Format> ReadCore(std::span<const uint8_t> bytes) {
    Format f;
    f.headerSize = kCoreHeader;
    f.width = Read16(&bytes[4]);
    f.height = Read16(&bytes[6]);
    f.bitCount = Read16(&bytes[10]);
    if (f.width < 1 || f.height < 1 || !(f.bitCount == 1 || f.bitCount == 4 || f.bitCount == 8 || f.bitCount == 24))
        return std::nullopt;
    if (f.bitCount <= 8 && !ReadPalette(bytes, kCoreHeader, size_t{1} << f.bitCount, 3, f)) return std::nullopt;
    return f;
}

}  // namespace

std::optional<Format> ReadFormat(std::span<const uint8_t> bytes, std::optional<uint32_t> colourLimit) {
    if (bytes.size() < 4) return std::nullopt;
    const uint32_t size = Read32(bytes.data());
    if (!KnownHeaderSize(size) || bytes.size() < size) return std::nullopt;
    if (size == kCoreHeader) return ReadCore(bytes);

    Format f;
    f.headerSize = static_cast<int32_t>(size);
    f.width = static_cast<int32_t>(Read32(&bytes[4]));
    const int32_t height = static_cast<int32_t>(Read32(&bytes[8]));
    f.bitCount = Read16(&bytes[14]);
    const uint32_t compression = Read32(&bytes[16]);
    if (f.width < 1 || height == 0 || height == INT32_MIN || !KnownDepth(f.bitCount)) return std::nullopt;
    f.topDown = height < 0;
    f.height = f.topDown ? -height : height;

    size_t tableAt = size;
    switch (compression) {
    case 0:
        break;
    case 1:
    case 2:
        if (f.bitCount != (compression == 1 ? 8 : 4) || f.topDown) return std::nullopt;
        f.compression = compression == 1 ? Compression::Rle8 : Compression::Rle4;
        break;
    case 3:
        if (f.bitCount != 16 && f.bitCount != 32) return std::nullopt;
        if (bytes.size() < kMasksEnd) return std::nullopt;
        f.compression = Compression::BitFields;
        if (tableAt < kMasksEnd) tableAt = kMasksEnd;
        break;
    default:  // JPEG, PNG and anything newer
        return std::nullopt;
    }

    if (f.compression == Compression::BitFields) {
        for (int c = 0; c < 3; ++c) f.channels[c] = ChannelOf(Read32(&bytes[kInfoHeader + 4 * c]));
    } else if (f.bitCount == 16) {
        f.channels = {Channel{10, 5}, Channel{5, 5}, Channel{0, 5}};
    } else if (f.bitCount == 32) {
        f.channels = {Channel{16, 8}, Channel{8, 8}, Channel{0, 8}};
    }

    if (f.bitCount <= 8) {
        const uint32_t full = 1u << f.bitCount;
        uint32_t count = colourLimit ? *colourLimit : Read32(&bytes[32]);
        if (count == 0 || count > full) count = full;
        if (!ReadPalette(bytes, tableAt, count, 4, f)) return std::nullopt;
    }
    return f;
}

std::optional<size_t> RowBytes(int32_t width, int bitCount) {
    if (width < 0 || bitCount < 0) return std::nullopt;
    const uint64_t bits = uint64_t(width) * uint64_t(bitCount) + 31;
    if (bits > INT32_MAX) return std::nullopt;
    return static_cast<size_t>(bits / 32 * 4);
}

}  // namespace dib
