// Reading and checking the directory of icon and cursor files.
#include <cstring>

#include "codecs/dib_pixels.h"
#include "codecs/ico_directory.h"

namespace ico {
namespace {

constexpr size_t kFileHeader = 6;
constexpr size_t kEntrySize = 16;
constexpr uint16_t kPngMark = 21060;  // "DR" of "IHDR", read where a bitmap keeps its bit count
constexpr size_t kBitCountAt = 14;
constexpr uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr size_t kPngHeaderEnd = 26;  // through the colour type

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }
uint32_t ReadBig32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

Entry ReadEntry(const uint8_t* e) {
    Entry entry;
    entry.width = e[0] == 0 ? 256 : e[0];
    entry.height = e[1] == 0 ? 256 : e[1];
    entry.planes = Read16(e + 4);
    entry.bitCount = Read16(e + 6);
    entry.bytesInResource = Read32(e + 8);
    entry.imageOffset = Read32(e + 12);
    return entry;
}

// The image's own bytes as far as the file holds them.
std::span<const uint8_t> ImageBytes(std::span<const uint8_t> file, const Entry& entry) {
    const size_t available = file.size() - entry.imageOffset;  // the caller checked the offset
    return file.subspan(entry.imageOffset, std::min<size_t>(available, entry.bytesInResource));
}

// A PNG size of 256 is stored as 0 (read back as 256); larger ones are not stored.
bool StoreSize(uint32_t size, int32_t& field) {
    if (size < 1 || size > 256) return false;
    field = static_cast<int32_t>(size);
    return true;
}

// Marks the entry as PNG and takes size and depth from the PNG header.
bool ValidatePng(std::span<const uint8_t> image, Entry& entry) {
    entry.planes = kPngPlanes;
    if (image.size() < kPngHeaderEnd || std::memcmp(image.data(), kPngSignature, 8) != 0 ||
        std::memcmp(&image[12], "IHDR", 4) != 0) {
        entry.bitCount = 0;
        return false;
    }
    const bool widthStored = StoreSize(ReadBig32(&image[16]), entry.width);
    const bool heightStored = StoreSize(ReadBig32(&image[20]), entry.height);
    if (!widthStored || !heightStored) entry.bitCount = 0;
    if (entry.bitCount == 0) {
        const uint8_t bitDepth = image[24], colourType = image[25];
        if (bitDepth == 16 || colourType == 4 || colourType == 6)
            entry.bitCount = 32;
        else
            entry.bitCount = colourType == 2 ? 24 : bitDepth;
    }
    return entry.bitCount > 0;
}

}  // namespace

int32_t Entry::ColourCount() const {
    if (IsPng() || bitCount > 8 || bitCount < 1) return 0;
    const int64_t xorSize = static_cast<int64_t>(*dib::RowBytes(width, bitCount)) * height;
    const int64_t andSize = static_cast<int64_t>(*dib::RowBytes(width, 1)) * height;
    const int64_t count = (int64_t{bytesInResource} - (headerSizeByte + xorSize + andSize)) / 4;
    return count > 0 ? static_cast<int32_t>(count) : 0;
}

int64_t Entry::ColourByteOffset() const {
    if (IsPng()) return 0;
    int64_t offset = int64_t{imageOffset} + headerSize;
    if (bitCount > 0 && bitCount < 16) offset += (int64_t{1} << bitCount) * 4;
    return offset;
}

std::optional<Directory> ReadDirectory(std::span<const uint8_t> file) {
    if (file.size() < kFileHeader) return std::nullopt;
    const uint16_t reserved = Read16(&file[0]), type = Read16(&file[2]), count = Read16(&file[4]);
    if (reserved != 0 || (type != kIcon && type != kCursor) || count == 0) return std::nullopt;
    const size_t directoryEnd = kFileHeader + kEntrySize * count;
    if (file.size() < directoryEnd) return std::nullopt;

    Directory directory;
    directory.type = type;
    uint64_t total = directoryEnd;
    for (size_t i = 0; i < count; ++i) {
        directory.entries.push_back(ReadEntry(&file[kFileHeader + kEntrySize * i]));
        total += directory.entries.back().bytesInResource;
    }
    if (total > file.size()) return std::nullopt;

    bool valid = true;
    for (Entry& entry : directory.entries) {
        entry.planes = 1;
        // An image that starts outside the file makes the whole file unreadable.
        if (entry.imageOffset > file.size() || file.size() - entry.imageOffset < kBitCountAt + 2) return std::nullopt;
        const uint8_t* image = &file[entry.imageOffset];
        const uint16_t mark = Read16(image + kBitCountAt);
        if (mark == kPngMark) {
            valid = ValidatePng(ImageBytes(file, entry), entry);
            continue;
        }
        entry.headerSizeByte = image[0];
        entry.headerSize = Read32(image);
        if (mark != 0)
            entry.bitCount = mark;
        else if (entry.bitCount == 0)
            valid = false;
    }
    if (!valid) return std::nullopt;
    return directory;
}

int32_t ColourCode(int32_t bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 2: return 4;
    case 4: return 16;
    case 8: return 256;
    default:
        if (bitCount < 24) return 0xFFFF00;
        if (bitCount == 24) return static_cast<int32_t>(0xFF000000u);
        return -1;
    }
}

}  // namespace ico
