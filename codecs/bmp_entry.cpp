// BMP for the public entry, taking each file the way the image object's
// decoder does: uncompressed 32-bit rows keep their fourth byte when the
// alpha analysis finds it used, every other form is decoded opaque.
// Straight output gives the stored samples; premultiplied output is the
// image object's pixels.
#include <optional>

#include "codecs/dib_pixels.h"
#include "codecs/modParsers.h"
#include "codecs/picture_entry.h"

namespace mendlow::entry {
namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kFieldsEnd = 34;  // through the compression field
constexpr uint32_t kCoreHeaderSize = 12;
constexpr size_t kMasksEnd = 52;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// An uncompressed 32-bit picture whose rows the file holds in full.
struct Own32 {
    int32_t width, rows;
    bool topDown;
    std::span<const uint8_t> pixels;  // rows x width x 4 bytes, in file order
    modParsers::AlphaUse alpha;
};

struct Plan {
    ImageInfo info{0, 0, FileFormat::Bmp, false};
    std::optional<Own32> own;
    std::optional<dib::Format> format;  // every other form
    std::span<const uint8_t> pixels;    // from the pixel offset
};

// The fields the image object's decoder reads at fixed places, whatever
// the header's size, to choose the 32-bit form.
std::optional<Own32> ReadOwn32(std::span<const uint8_t> bmp) {
    if (bmp.size() < kFieldsEnd) return std::nullopt;
    const uint32_t headerSize = Read32(&bmp[14]);
    const int32_t pixelOffset = int32_t(Read32(&bmp[10])), width = int32_t(Read32(&bmp[18])),
                  height = int32_t(Read32(&bmp[22]));
    if (Read16(&bmp[28]) != 32 || Read32(&bmp[30]) != 0 || headerSize == kCoreHeaderSize || pixelOffset < 0 ||
        width < 1 || height == 0 || height == INT32_MIN)
        return std::nullopt;
    // Rows of at most 2^31 - 1 bits, all of them in the file.
    const int32_t rows = height < 0 ? -height : height;
    const uint64_t bytes = uint64_t(width) * 4 * uint64_t(rows);
    if (uint64_t(width) * 32 > INT32_MAX || size_t(pixelOffset) > bmp.size() || bytes > bmp.size() - size_t(pixelOffset))
        return std::nullopt;
    const std::span<const uint8_t> pixels = bmp.subspan(size_t(pixelOffset), size_t(bytes));
    return Own32{width, rows, height < 0, pixels, modParsers::ClassifyAlpha(pixels)};
}

// Why dib::ReadFormat refused the information header at `h`, in its order.
DecodeResult Refusal(std::span<const uint8_t> h, const ImageInfo& info) {
    auto fail = [&](DecodeStatus s, const char* m) { return Fail(s, m, info); };
    const uint32_t size = Read32(h.data());
    if (size != kCoreHeaderSize && size != 40 && size != 52 && size != 56 && size != 108 && size != 124)
        return fail(DecodeStatus::Unsupported, "the bitmap's information header is of a size these codecs do not read");
    if (h.size() < size) return fail(DecodeStatus::Truncated, "the file ends inside the bitmap's information header");
    const bool core = size == kCoreHeaderSize;
    const int32_t width = core ? Read16(&h[4]) : int32_t(Read32(&h[4]));
    const int32_t height = core ? Read16(&h[6]) : int32_t(Read32(&h[8]));
    const int depth = Read16(&h[core ? 10 : 14]);
    const uint32_t compression = core ? 0 : Read32(&h[16]);
    if (width < 1 || height == 0 || height == INT32_MIN)
        return fail(DecodeStatus::Damaged, "the bitmap's width or height is not a positive size");
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && (core || (depth != 16 && depth != 32)))
        return fail(DecodeStatus::Unsupported, "the bitmap has a bit depth these codecs do not read");
    if (compression > 3)
        return fail(DecodeStatus::Unsupported, "the bitmap holds JPEG, PNG or a compression these codecs do not read");
    if (compression == 1 || compression == 2) {
        if (depth != (compression == 1 ? 8 : 4))
            return fail(DecodeStatus::Damaged, "the run-length compression does not fit the bit depth");
        if (height < 0) return fail(DecodeStatus::Unsupported, "the run-length rows are stored top-down");
    }
    if (compression == 3 && depth != 16 && depth != 32)
        return fail(DecodeStatus::Damaged, "bit-field masks are given for a depth other than 16 or 32");
    if (compression == 3 && h.size() < kMasksEnd)
        return fail(DecodeStatus::Truncated, "the file ends inside the bit-field masks");
    return fail(DecodeStatus::Truncated, "the file ends inside the colour table");
}

DecodeResult MakePlan(std::span<const uint8_t> bmp, Plan& plan) {
    ImageInfo& info = plan.info;
    if (bmp.size() < kFileHeader + 4) return Fail(DecodeStatus::Truncated, "the file ends inside the bitmap's headers", info);
    plan.own = ReadOwn32(bmp);
    if (plan.own) {
        info.width = plan.own->width, info.height = plan.own->rows;
        info.hasAlpha = plan.own->alpha != modParsers::AlphaUse::Ignored;
        return Success(info);
    }
    const std::span<const uint8_t> header = bmp.subspan(kFileHeader);
    plan.format = dib::ReadFormat(header);
    if (!plan.format) return Refusal(header, info);
    info.width = plan.format->width, info.height = plan.format->height;
    const int32_t pixelOffset = int32_t(Read32(&bmp[10]));
    if (pixelOffset < 0) return Fail(DecodeStatus::Damaged, "the pixels' offset is negative", info);
    if (size_t(pixelOffset) > bmp.size()) return Fail(DecodeStatus::Truncated, "the file ends before its pixels begin", info);
    plan.pixels = bmp.subspan(size_t(pixelOffset));
    if (!dib::RowBytes(plan.format->width, plan.format->bitCount))
        return Fail(DecodeStatus::Unsupported, "the bitmap's rows are longer than 2 GiB", info);
    if (!dib::HoldsImage(*plan.format, plan.pixels.size()))
        return Fail(DecodeStatus::Truncated, "the file ends before the bitmap's last row", info);
    return Success(info);
}

// The stored samples, and alpha as the analysis decided; premultiplied
// output scales colours as the image object does.
void WriteOwn32(const Own32& own, const OutputRows& out) {
    using modParsers::AlphaUse;
    const int b = out.redFirst ? 2 : 0, r = 2 - b;
    const bool scale = out.premultiplied && own.alpha == AlphaUse::Straight;
    const uint8_t* s = own.pixels.data();
    for (int32_t row = 0; row < own.rows; ++row) {
        uint8_t* d = out.Row(own.topDown ? row : own.rows - 1 - row);
        for (int32_t x = 0; x < own.width; ++x, s += 4, d += 4) {
            const unsigned a = own.alpha == AlphaUse::Ignored ? 255 : s[3];
            if (scale && a != 255) {
                d[b] = uint8_t(s[0] * a / 255), d[1] = uint8_t(s[1] * a / 255), d[r] = uint8_t(s[2] * a / 255);
            } else {
                d[b] = s[0], d[1] = s[1], d[r] = s[2];
            }
            d[3] = uint8_t(a);
        }
    }
}

}  // namespace

DecodeResult ReadBmpInfo(std::span<const uint8_t> file) {
    Plan plan;
    return MakePlan(file, plan);
}

DecodeResult DecodeBmp(std::span<const uint8_t> file, const ImageInfo& info, const OutputRows& out) {
    Plan plan;
    DecodeResult planned = MakePlan(file, plan);
    if (!planned) return planned;
    if (!SameSize(plan.info, info)) return SizeChanged(info);
    if (plan.own)
        WriteOwn32(*plan.own, out);
    else
        dib::DecodePixels(*plan.format, plan.pixels, out);  // the plan checked that the pixels hold the image
    return Success(plan.info);
}

}  // namespace mendlow::entry
