// The C interface: plain structs and int32_t values turned into the C++
// entry's types and back. Everything is noexcept or C, so nothing throws.
#include "mendlow/image_codecs_c.h"

#include <cstdlib>

#include "mendlow/image_codecs.h"

namespace {

using mendlow::DecodeStatus;

// The C values are the C++ ones, so that either side can be cast to the other.
static_assert(MENDLOW_STATUS_OK == int32_t(DecodeStatus::Ok) &&
              MENDLOW_STATUS_INVALID_ARGUMENT == int32_t(DecodeStatus::InvalidArgument) &&
              MENDLOW_STATUS_NOT_A_PICTURE == int32_t(DecodeStatus::NotAPicture) &&
              MENDLOW_STATUS_UNSUPPORTED == int32_t(DecodeStatus::Unsupported) &&
              MENDLOW_STATUS_DAMAGED == int32_t(DecodeStatus::Damaged) &&
              MENDLOW_STATUS_TRUNCATED == int32_t(DecodeStatus::Truncated) &&
              MENDLOW_STATUS_CHECKSUM_MISMATCH == int32_t(DecodeStatus::ChecksumMismatch) &&
              MENDLOW_STATUS_TOO_LARGE == int32_t(DecodeStatus::TooLarge) &&
              MENDLOW_STATUS_OUT_OF_MEMORY == int32_t(DecodeStatus::OutOfMemory));
static_assert(MENDLOW_FORMAT_UNKNOWN == int32_t(mendlow::FileFormat::Unknown) &&
              MENDLOW_FORMAT_PNG == int32_t(mendlow::FileFormat::Png) &&
              MENDLOW_FORMAT_BMP == int32_t(mendlow::FileFormat::Bmp) &&
              MENDLOW_FORMAT_GIF == int32_t(mendlow::FileFormat::Gif) &&
              MENDLOW_FORMAT_ICO == int32_t(mendlow::FileFormat::Ico) &&
              MENDLOW_FORMAT_CUR == int32_t(mendlow::FileFormat::Cur));
static_assert(MENDLOW_CHANNELS_RGBA == int32_t(mendlow::ChannelOrder::Rgba) &&
              MENDLOW_CHANNELS_BGRA == int32_t(mendlow::ChannelOrder::Bgra) &&
              MENDLOW_ALPHA_STRAIGHT == int32_t(mendlow::AlphaMode::Straight) &&
              MENDLOW_ALPHA_PREMULTIPLIED == int32_t(mendlow::AlphaMode::Premultiplied) &&
              MENDLOW_ROWS_TOP_DOWN == int32_t(mendlow::RowOrder::TopDown) &&
              MENDLOW_ROWS_BOTTOM_UP == int32_t(mendlow::RowOrder::BottomUp));
static_assert(MENDLOW_DEFAULT_MAX_PIXELS == mendlow::kDefaultMaxPixels);

int32_t Answer(const mendlow::DecodeResult& r, mendlow_result* result) {
    if (result != nullptr) {
        const mendlow::ImageInfo& i = r.info;
        *result = {static_cast<int32_t>(r.status), r.message,
                   {i.width, i.height, static_cast<int32_t>(i.format), i.hasAlpha ? 1 : 0}};
    }
    return static_cast<int32_t>(r.status);
}

int32_t Fail(DecodeStatus status, const char* message, mendlow_result* result,
             const mendlow::ImageInfo& info = {}) {
    return Answer({status, message, info}, result);
}

// Every field is checked, the flag too (0 or 1), before any work: a
// struct left uninitialised is more likely caught.
bool ToOptions(const mendlow_decode_options* in, mendlow::DecodeOptions& out) {
    if (in == nullptr) return true;
    auto oneOf = [](int32_t value, int32_t a, int32_t b) { return value == a || value == b; };
    if (!oneOf(in->channels, MENDLOW_CHANNELS_RGBA, MENDLOW_CHANNELS_BGRA) ||
        !oneOf(in->alpha, MENDLOW_ALPHA_STRAIGHT, MENDLOW_ALPHA_PREMULTIPLIED) ||
        !oneOf(in->rows, MENDLOW_ROWS_TOP_DOWN, MENDLOW_ROWS_BOTTOM_UP) || !oneOf(in->check_checksums, 0, 1))
        return false;
    out.channels = static_cast<mendlow::ChannelOrder>(in->channels);
    out.alpha = static_cast<mendlow::AlphaMode>(in->alpha);
    out.rows = static_cast<mendlow::RowOrder>(in->rows);
    out.maxPixels = in->max_pixels;
    out.checkChecksums = in->check_checksums == 1;
    return true;
}

constexpr const char* kNoSuchValue = "an option has no such value";

}  // namespace

extern "C" {

void mendlow_default_decode_options(mendlow_decode_options* options) {
    if (options == nullptr) return;
    const mendlow::DecodeOptions d;
    *options = {static_cast<int32_t>(d.channels), static_cast<int32_t>(d.alpha), static_cast<int32_t>(d.rows),
                d.maxPixels, d.checkChecksums ? 1 : 0};
}

int32_t mendlow_read_image_info(const uint8_t* file, size_t size, mendlow_result* result) {
    return Answer(mendlow::ReadImageInfo(file, size), result);
}

int32_t mendlow_decode_image_into(const uint8_t* file, size_t size, const mendlow_decode_options* options,
                                  uint8_t* pixels, size_t buffer_size, size_t stride, mendlow_result* result) {
    mendlow::DecodeOptions o;
    if (!ToOptions(options, o)) return Fail(DecodeStatus::InvalidArgument, kNoSuchValue, result);
    return Answer(mendlow::DecodeImage(file, size, o, pixels, buffer_size, stride), result);
}

int32_t mendlow_decode_image(const uint8_t* file, size_t size, const mendlow_decode_options* options,
                             uint8_t** pixels, size_t* stride, mendlow_result* result) {
    if (pixels == nullptr || stride == nullptr)
        return Fail(DecodeStatus::InvalidArgument, "no place for the pixels was given", result);
    *pixels = nullptr;
    *stride = 0;
    mendlow::DecodeOptions o;
    if (!ToOptions(options, o)) return Fail(DecodeStatus::InvalidArgument, kNoSuchValue, result);
    // The headers first: the limit holds before anything is allocated.
    const mendlow::DecodeResult info = mendlow::ReadImageInfo(file, size);
    if (!info) return Answer(info, result);
    const mendlow::ImageInfo& i = info.info;
    if (uint64_t(uint32_t(i.width)) * uint32_t(i.height) > o.maxPixels)
        return Fail(DecodeStatus::TooLarge, "the picture has more pixels than the options allow", result, i);
    const uint64_t bytes = uint64_t(uint32_t(i.width)) * uint32_t(i.height) * 4;
    if (bytes > SIZE_MAX / 2) return Fail(DecodeStatus::TooLarge, "the picture does not fit the address space", result, i);
    const size_t rowBytes = size_t(i.width) * 4;
    auto* buffer = static_cast<uint8_t*>(std::malloc(bytes == 0 ? 1 : size_t(bytes)));
    if (buffer == nullptr) return Fail(DecodeStatus::OutOfMemory, "memory ran out for the pixels", result, i);
    const mendlow::DecodeResult decoded = mendlow::DecodeImage(file, size, o, buffer, size_t(bytes), rowBytes);
    if (!decoded) {
        std::free(buffer);
        return Answer(decoded, result);
    }
    *pixels = buffer;
    *stride = rowBytes;
    return Answer(decoded, result);
}

void mendlow_free_pixels(uint8_t* pixels) { std::free(pixels); }

const char* mendlow_status_text(int32_t status) {
    return mendlow::DescribeStatus(static_cast<DecodeStatus>(status));
}

}  // extern "C"
