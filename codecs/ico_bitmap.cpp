// Bitmap images of icon and cursor files. The colour pixels are decoded at
// the directory's size with a copy of the image's header in which height,
// bit count and colour count are those the directory gives; the file's own
// header counts the colour and AND rows together.
#include <algorithm>
#include <cstring>
#include <vector>

#include "codecs/dib_pixels.h"
#include "codecs/ico_bitmap.h"
#include "imagecore/c32bppDIB.h"

namespace ico {
namespace {

constexpr size_t kInfoHeader = 40;
constexpr size_t kLargestTable = 124 + 12 + 256 * 4;  // largest header, masks and palette

void Write32(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24); }

std::optional<dib::Format> HeaderCopy(std::span<const uint8_t> image, const Entry& entry) {
    if (entry.headerSize < kInfoHeader || image.size() < kInfoHeader) return std::nullopt;
    std::vector<uint8_t> header(image.begin(), image.begin() + std::min(image.size(), kLargestTable));
    Write32(&header[4], uint32_t(entry.width));
    Write32(&header[8], uint32_t(entry.height));
    header[14] = uint8_t(entry.bitCount), header[15] = uint8_t(entry.bitCount >> 8);
    Write32(&header[20], 0);  // image size
    Write32(&header[24], 0);  // resolutions
    Write32(&header[28], 0);
    Write32(&header[32], uint32_t(entry.ColourCount()));
    return dib::ReadFormat(header);
}

// Straight alpha from the image's own bytes: colours scaled down, rounding down.
void ApplyAlpha(std::span<const uint8_t> source, const PixelView& pixels) {
    const uint8_t* s = source.data();
    uint8_t* p = pixels.bits;
    for (size_t i = 0, n = pixels.PixelCount(); i < n; ++i, s += 4, p += 4) {
        const unsigned a = s[3];
        if (a == 0) {
            std::memset(p, 0, 4);
        } else if (a != 255) {
            p[0] = uint8_t(p[0] * a / 255), p[1] = uint8_t(p[1] * a / 255), p[2] = uint8_t(p[2] * a / 255);
            p[3] = uint8_t(a);
        }
    }
}

// A set bit clears the pixel; true when any bit was set.
bool ApplyMask(std::span<const uint8_t> mask, size_t rowBytes, const PixelView& pixels) {
    bool any = false;
    for (int32_t r = 0; r < pixels.height; ++r) {
        const uint8_t* bits = mask.data() + size_t(r) * rowBytes;
        uint8_t* p = pixels.MemoryRow(r);
        for (int32_t x = 0; x < pixels.width; ++x, p += 4) {
            if (bits[x >> 3] & (0x80 >> (x & 7))) {
                std::memset(p, 0, 4);
                any = true;
            } else {
                p[3] = 255;
            }
        }
    }
    return any;
}

bool Decode(std::span<const uint8_t> file, const Entry& entry, bool cursor, c32bppDIB& host) {
    const size_t imageEnd = std::min<uint64_t>(uint64_t{entry.imageOffset} + entry.bytesInResource, file.size());
    if (entry.imageOffset > imageEnd) return false;
    std::span<const uint8_t> image = file.subspan(entry.imageOffset, imageEnd - entry.imageOffset);
    std::optional<dib::Format> format = HeaderCopy(image, entry);
    const int64_t colourAt = entry.ColourByteOffset() - entry.imageOffset;
    if (!format || colourAt < 0 || uint64_t(colourAt) > image.size()) return false;
    std::span<const uint8_t> colour = image.subspan(size_t(colourAt));

    if (!dib::HoldsImage(*format, colour.size()) || !host.InitializeDIB(entry.width, entry.height)) return false;
    const PixelView pixels = host.Pixels();
    if (!dib::DecodePixels(*format, colour, pixels)) return false;

    if (entry.bitCount == 32) {
        if (colour.size() < pixels.PixelCount() * 4) return false;
        ApplyAlpha(colour, pixels);
        host.SetAlpha(true);
        host.SetImageType(cursor ? imgCursorAlpha : imgIconAlpha);
        return true;
    }
    // The mask ends the image's bytes.
    const size_t rowBytes = *dib::RowBytes(entry.width, 1);
    const size_t maskSize = rowBytes * size_t(entry.height);
    if (entry.bytesInResource < maskSize || image.size() != entry.bytesInResource) return false;
    host.SetAlpha(ApplyMask(image.subspan(image.size() - maskSize), rowBytes, pixels));
    host.SetImageType(cursor ? imgCursor : imgIcon);
    return true;
}

}  // namespace

bool DecodeBitmap(std::span<const uint8_t> file, const Entry& entry, bool cursor, c32bppDIB& host) {
    if (Decode(file, entry, cursor, host)) return true;
    host.DestroyDIB();
    return false;
}

}  // namespace ico
