#include "codecs/cPNGwriter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <span>

#include "codecs/file_writer.h"
#include "codecs/modParsers.h"
#include "codecs/png_colour_plan.h"
#include "codecs/png_row_filter.h"
#include "codecs/zlib_binding.h"
#include "imagecore/c32bppDIB.h"

namespace {

using namespace png_encode;

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr uint8_t kFilterNone = 0, kFilterPaeth = 4;
constexpr int kLevel = 9;

void PutBigEndian(uint8_t* at, uint32_t value) {
    value = modParsers::SwapEndian32(value);
    std::memcpy(at, &value, 4);
}

// Appends a chunk: length, type, data, CRC over type and data.
void AppendChunk(std::vector<uint8_t>& out, const char* type, std::span<const uint8_t> data, ZlibBinding& zlib) {
    const size_t start = out.size();
    out.resize(start + 12 + data.size());
    uint8_t* chunk = out.data() + start;
    PutBigEndian(chunk, static_cast<uint32_t>(data.size()));
    std::memcpy(chunk + 4, type, 4);
    if (!data.empty()) std::memcpy(chunk + 8, data.data(), data.size());
    PutBigEndian(chunk + 8 + data.size(), zlib.Crc32(0, chunk + 4, static_cast<uint32_t>(data.size() + 4)));
}

// A work buffer that is written before it is read: no zero-filling.
struct Buffer {
    explicit Buffer(size_t n) : bytes(std::make_unique_for_overwrite<uint8_t[]>(n)), size(n) {}
    std::unique_ptr<uint8_t[]> bytes;
    size_t size;
};

// The stored rows: a filter byte, then the row's filtered samples, top row
// first. Nothing when a pixel cannot be written or the size is too large
// for zlib's 32-bit lengths.
std::optional<Buffer> FilteredRows(const ColourPlan& plan, const PixelView& pixels) {
    const size_t bpp = static_cast<size_t>(BytesPerPixel(plan.colourType));
    const size_t rowBytes = static_cast<size_t>(pixels.width) * bpp;
    const size_t height = static_cast<size_t>(pixels.height);
    if (rowBytes + 1 > std::numeric_limits<uint32_t>::max() / height) return std::nullopt;
    const bool paeth = plan.colourType == kRgb || plan.colourType == kRgba;

    Buffer stored((rowBytes + 1) * height);
    std::vector<uint8_t> rows(rowBytes * 2);  // this row's samples and the previous row's
    uint8_t* raw = rows.data();
    uint8_t* up = rows.data() + rowBytes;     // zeros above the first row
    for (size_t y = 0; y < height; ++y) {
        uint8_t* target = stored.bytes.get() + y * (rowBytes + 1);
        if (!paeth) {
            target[0] = kFilterNone;
            if (!WriteSampleRow(plan, pixels, static_cast<int32_t>(y), target + 1)) return std::nullopt;
            continue;
        }
        if (!WriteSampleRow(plan, pixels, static_cast<int32_t>(y), raw)) return std::nullopt;
        target[0] = kFilterPaeth;
        PaethFilterRow(raw, up, rowBytes, bpp, target + 1);
        std::swap(raw, up);
    }
    return stored;
}

// Deflates the rows into one IDAT chunk appended to out.
bool AppendImageData(std::vector<uint8_t>& out, const Buffer& rows, ZlibBinding& zlib) {
    const uint64_t n = rows.size;
    // Room as zlib's own bound asks, with the classic 1 % + 12 as the floor.
    const uint64_t capacity = std::max(n + (n + 50) / 100 + 12, n + (n >> 12) + (n >> 14) + (n >> 25) + 13);
    if (capacity > std::numeric_limits<uint32_t>::max() - 16 || capacity > std::numeric_limits<size_t>::max())
        return false;
    Buffer compressed(static_cast<size_t>(capacity));
    uint32_t length = static_cast<uint32_t>(capacity);
    const auto inLength = static_cast<uint32_t>(n);
    const int status =
        zlib.HasCompress2() ? zlib.Compress2(compressed.bytes.get(), length, rows.bytes.get(), inLength, kLevel)
                            : zlib.Compress(compressed.bytes.get(), length, rows.bytes.get(), inLength);
    // A chunk holds at most 2^31 - 1 bytes.
    if (status != 0 || length > capacity || length > uint32_t{std::numeric_limits<int32_t>::max()}) return false;
    const size_t start = out.size();
    out.resize(start + 12 + size_t{length});
    uint8_t* chunk = out.data() + start;
    PutBigEndian(chunk, length);
    std::memcpy(chunk + 4, "IDAT", 4);
    std::memcpy(chunk + 8, compressed.bytes.get(), length);
    PutBigEndian(chunk + 8 + length, zlib.Crc32(0, chunk + 4, length + 4));
    return true;
}

bool Encode(const c32bppDIB& host, ZlibBinding& zlib, std::vector<uint8_t>& out) {
    const PixelView pixels = host.Pixels();
    std::optional<ColourPlan> plan = ChooseColourPlan(pixels, host.Alpha());
    if (!plan) return false;
    std::optional<Buffer> rows = FilteredRows(*plan, pixels);
    if (!rows) return false;

    out.assign(std::begin(kSignature), std::end(kSignature));
    uint8_t header[13] = {0, 0, 0, 0, 0, 0, 0, 0, 8, plan->colourType, 0, 0, 0};
    PutBigEndian(header, static_cast<uint32_t>(host.Width()));
    PutBigEndian(header + 4, static_cast<uint32_t>(host.Height()));
    AppendChunk(out, "IHDR", header, zlib);
    if (plan->colourType == kPalette) AppendChunk(out, "PLTE", plan->plte, zlib);
    if (!plan->trns.empty()) AppendChunk(out, "tRNS", plan->trns, zlib);
    plan.reset();
    if (!AppendImageData(out, *rows, zlib)) return false;
    rows.reset();
    AppendChunk(out, "IEND", {}, zlib);
    return true;
}

}  // namespace

bool cPNGwriter::SavePNG(const c32bppDIB& cHost, const std::wstring& FileName, std::vector<uint8_t>& outStream) {
    if (cHost.Handle() == 0 || cHost.Width() <= 0 || cHost.Height() <= 0) return false;
    ZlibBinding zlib;
    if (!zlib.IsAvailable()) return false;
    bool written = false;
    try {
        written = Encode(cHost, zlib, outStream) && (FileName.empty() || WriteWholeFile(FileName, outStream));
    } catch (const std::bad_alloc&) {
        written = false;
    }
    if (!written) outStream.clear();
    return written;
}
