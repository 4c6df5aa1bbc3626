// Bitmap images of icon and cursor files. The colour pixels are decoded at
// the directory's size with a copy of the image's header in which height,
// bit count and colour count are those the directory gives; the file's own
// header counts the colour and AND rows together.
#include "codecs/ico_bitmap.h"

#include <algorithm>
#include <vector>

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

// Alpha from the image's own bytes (rows bottom-up, as the colour rows);
// premultiplied colours are scaled down, rounding down.
void ApplyAlpha(const BitmapLayout& layout, const OutputRows& out) {
    const int32_t width = layout.format.width, height = layout.format.height;
    const uint8_t* s = layout.colour.data();
    for (int32_t r = 0; r < height; ++r) {
        uint8_t* p = out.Row(height - 1 - r);
        for (int32_t x = 0; x < width; ++x, s += 4, p += 4) {
            const unsigned a = s[3];
            p[3] = uint8_t(a);
            if (!out.premultiplied || a == 255) continue;
            p[0] = uint8_t(p[0] * a / 255), p[1] = uint8_t(p[1] * a / 255), p[2] = uint8_t(p[2] * a / 255);
        }
    }
}

bool Masked(const BitmapLayout& layout, int32_t r, int32_t x) {
    return layout.mask[size_t(r) * layout.maskRowBytes + size_t(x >> 3)] & (0x80 >> (x & 7));
}

// A set bit hides the pixel.
void ApplyMask(const BitmapLayout& layout, const OutputRows& out) {
    const int32_t width = layout.format.width, height = layout.format.height;
    for (int32_t r = 0; r < height; ++r) {
        uint8_t* p = out.Row(height - 1 - r);
        for (int32_t x = 0; x < width; ++x, p += 4) {
            if (!Masked(layout, r, x)) continue;
            if (out.premultiplied) p[0] = p[1] = p[2] = 0;
            p[3] = 0;
        }
    }
}

}  // namespace

std::optional<BitmapLayout> LayOutBitmap(std::span<const uint8_t> file, const Entry& entry) {
    const size_t imageEnd = std::min<uint64_t>(uint64_t{entry.imageOffset} + entry.bytesInResource, file.size());
    if (entry.imageOffset > imageEnd) return std::nullopt;
    std::span<const uint8_t> image = file.subspan(entry.imageOffset, imageEnd - entry.imageOffset);
    std::optional<dib::Format> format = HeaderCopy(image, entry);
    const int64_t colourAt = entry.ColourByteOffset() - entry.imageOffset;
    if (!format || colourAt < 0 || uint64_t(colourAt) > image.size()) return std::nullopt;
    BitmapLayout layout{std::move(*format), image.subspan(size_t(colourAt)), {}, 0};
    if (!dib::HoldsImage(layout.format, layout.colour.size())) return std::nullopt;
    const size_t pixels = size_t(entry.width) * size_t(entry.height);
    if (entry.bitCount == 32) {
        if (layout.colour.size() / 4 < pixels) return std::nullopt;
        return layout;
    }
    // The mask ends the image's bytes.
    layout.maskRowBytes = *dib::RowBytes(entry.width, 1);
    const size_t maskSize = layout.maskRowBytes * size_t(entry.height);
    if (entry.bytesInResource < maskSize || image.size() != entry.bytesInResource) return std::nullopt;
    layout.mask = image.subspan(image.size() - maskSize);
    return layout;
}

bool MasksAnyPixel(const BitmapLayout& layout) {
    if (layout.mask.empty()) return false;
    for (int32_t r = 0; r < layout.format.height; ++r)
        for (int32_t x = 0; x < layout.format.width; ++x)
            if (Masked(layout, r, x)) return true;
    return false;
}

void DecodeBitmap(const BitmapLayout& layout, const OutputRows& out) {
    dib::DecodePixels(layout.format, layout.colour, out);  // cannot fail: the layout holds the image
    if (layout.format.bitCount == 32)
        ApplyAlpha(layout, out);
    else
        ApplyMask(layout, out);
}

bool DecodeBitmap(std::span<const uint8_t> file, const Entry& entry, bool cursor, c32bppDIB& host) {
    std::optional<BitmapLayout> layout = LayOutBitmap(file, entry);
    if (!layout || !host.InitializeDIB(entry.width, entry.height)) {
        host.DestroyDIB();
        return false;
    }
    DecodeBitmap(*layout, OutputRows::Of(host.Pixels()));
    const bool alpha = layout->format.bitCount == 32;
    host.SetAlpha(alpha || MasksAnyPixel(*layout));
    if (cursor)
        host.SetImageType(alpha ? imgCursorAlpha : imgCursor);
    else
        host.SetImageType(alpha ? imgIconAlpha : imgIcon);
    return true;
}

}  // namespace ico
