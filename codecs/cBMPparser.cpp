#include "codecs/cBMPparser.h"

#include <cstring>
#include <optional>

#include "codecs/dib_pixels.h"
#include "codecs/modParsers.h"
#include "codecs/system_bitmap_loader.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr uint16_t kBitmapType = 19778;  // "BM"
constexpr size_t kFileHeader = 14;
constexpr size_t kFieldsEnd = 34;  // through the compression field
constexpr uint32_t kCoreHeaderSize = 12;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
int32_t Read32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

struct Fields {
    int32_t pixelOffset, width, height;
    int bitsPerPixel;
    int32_t compression;
    uint32_t headerSize;
};

Fields ReadFields(std::span<const uint8_t> bmp) {
    return {Read32(&bmp[10]), Read32(&bmp[18]), Read32(&bmp[22]), Read16(&bmp[28]), Read32(&bmp[30]),
            static_cast<uint32_t>(Read32(&bmp[14]))};
}

// Bytes the stream holds beyond the rows the header promises; an overflow
// of the row size counts as too little data.
int64_t LeftOver(const Fields& f, int64_t streamLength) {
    std::optional<int32_t> rowSize = modParsers::AlignedScanWidth(f.bitsPerPixel, f.width);
    if (!rowSize) return -1;
    const int64_t rows = f.height < 0 ? -int64_t{f.height} : f.height;
    return streamLength - (int64_t{*rowSize} * rows + f.pixelOffset);
}

// Uncompressed 32-bit rows copied as they are; the alpha analysis decides
// what the fourth byte means.
bool LoadOwn32(std::span<const uint8_t> bmp, const Fields& f, c32bppDIB& host) {
    const int32_t rows = f.height < 0 ? -f.height : f.height;
    if (!host.InitializeDIB(f.width, rows)) return false;
    const size_t rowSize = size_t(host.scanWidth());
    const uint8_t* pixels = bmp.data() + f.pixelOffset;
    if (f.height > 0) {
        std::memcpy(host.BitsPointer(), pixels, rowSize * size_t(rows));
    } else {
        for (int32_t r = 0; r < rows; ++r)
            std::memcpy(host.Pixels().MemoryRow(r), pixels + size_t(rows - 1 - r) * rowSize, rowSize);
    }
    bool alpha = false;
    int32_t imageType = imgBlank;
    modParsers::ValidateAlphaChannel(host.Pixels(), true, alpha, imageType);
    host.SetAlpha(alpha);
    host.SetImageType(imageType);
    return true;
}

// Every other depth and compression: opaque pixels.
bool LoadOpaque(std::span<const uint8_t> bmp, const Fields& f, c32bppDIB& host) {
    std::optional<dib::Format> format = dib::ReadFormat(bmp.subspan(kFileHeader));
    if (!format || f.pixelOffset < 0 || size_t(f.pixelOffset) > bmp.size()) return false;
    std::span<const uint8_t> pixels = bmp.subspan(size_t(f.pixelOffset));
    if (!dib::HoldsImage(*format, pixels.size()) || !host.InitializeDIB(format->width, format->height)) return false;
    if (!dib::DecodePixels(*format, pixels, OutputRows::Of(host.Pixels()))) {
        host.DestroyDIB();
        return false;
    }
    host.SetAlpha(false);
    host.SetImageType(imgBitmap);
    return true;
}

}  // namespace

bool cBMPparser::LoadStream(std::span<const uint8_t> inStream, c32bppDIB& cHost, int64_t streamOffset,
                            int64_t streamLength) {
    if (streamOffset < 0 || streamLength < int64_t{kFieldsEnd} || streamOffset > int64_t(inStream.size()) ||
        streamLength > int64_t(inStream.size()) - streamOffset)
        return false;
    std::span<const uint8_t> bmp = inStream.subspan(size_t(streamOffset), size_t(streamLength));
    if (Read16(bmp.data()) != kBitmapType) return false;
    const Fields f = ReadFields(bmp);
    if (f.width < 1 || f.height == 0 || f.height == INT32_MIN) return false;

    // An OS/2 core header has no 32-bit form; its fields sit elsewhere.
    const bool own = f.bitsPerPixel == 32 && f.compression == 0 && f.headerSize != kCoreHeaderSize &&
                     f.pixelOffset >= 0 && LeftOver(f, streamLength) >= 0;
    if (own && LoadOwn32(bmp, f, cHost)) return true;
    if (LoadOpaque(bmp, f, cHost)) return true;
    if (cHost.Handle() != 0) return false;
    return LoadThroughSystemBitmapLoader(bmp, cHost, f.bitsPerPixel);
}
