// The directory of an icon or cursor file: reading and checking it, and
// choosing the image that best fits a wanted size and depth.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ico {

enum FileType : uint16_t { kIcon = 1, kCursor = 2 };

constexpr uint16_t kPngPlanes = 255;  // planes value that marks an image stored as PNG

struct Entry {
    int32_t width = 0;   // 1 to 256
    int32_t height = 0;  // 1 to 256
    uint16_t planes = 1;
    int32_t bitCount = 0;  // 0: the image cannot be used
    uint32_t bytesInResource = 0;
    uint32_t imageOffset = 0;
    // From the bitmap header: the low byte of its size field, and the whole field.
    uint8_t headerSizeByte = 0;
    uint32_t headerSize = 0;

    bool IsPng() const { return planes == kPngPlanes; }
    // Palette entries the image's bytes leave room for (bitmaps of at most 8
    // bits per pixel), never negative; 0 otherwise.
    int32_t ColourCount() const;
    // Where the colour pixels begin, from the start of the file; 0 for PNG images.
    int64_t ColourByteOffset() const;
};

struct Directory {
    uint16_t type = kIcon;
    std::vector<Entry> entries;
};

// Nothing when the bytes are not a valid icon or cursor file.
std::optional<Directory> ReadDirectory(std::span<const uint8_t> file);

// The entry for wantedWidth x wantedHeight at wantedDepth bits: its index
// from 0, or nothing when none can be used.
std::optional<size_t> ChooseEntry(const std::vector<Entry>& entries, int32_t wantedWidth, int32_t wantedHeight,
                                  int32_t wantedDepth);

// How the colours of an image of bitCount bits are described in size lists:
// the palette size up to 8 bits, 0xFFFF00 for other depths below 24,
// 0xFF000000 (as a signed value) for 24 and -1 for deeper images.
int32_t ColourCode(int32_t bitCount);

}  // namespace ico
