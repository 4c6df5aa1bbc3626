// The public decoding entry: argument and limit checks, the choice of
// format, and the promise that nothing escapes as an exception.
#include "codecs/decode_entry.h"

#include <new>

namespace mendlow {
namespace {

using entry::Fail;

DecodeResult ReadInfo(std::span<const uint8_t> file) {
    DecodeResult png = entry::ReadPngInfo(file);
    if (png.status != DecodeStatus::NotAPicture) return png;
    return entry::ReadPictureInfo(file);
}

DecodeResult CheckedInfo(const uint8_t* file, size_t size, const DecodeOptions& options) {
    if (file == nullptr || size == 0) return Fail(DecodeStatus::InvalidArgument, "no bytes were given");
    DecodeResult info = ReadInfo({file, size});
    if (!info) return info;
    const uint64_t pixels = uint64_t(uint32_t(info.info.width)) * uint32_t(info.info.height);
    if (pixels > options.maxPixels)
        return Fail(DecodeStatus::TooLarge, "the picture has more pixels than the options allow", info.info);
    return info;
}

bool ValidOptions(const DecodeOptions& o) {
    return (o.channels == ChannelOrder::Rgba || o.channels == ChannelOrder::Bgra) &&
           (o.alpha == AlphaMode::Straight || o.alpha == AlphaMode::Premultiplied) &&
           (o.rows == RowOrder::TopDown || o.rows == RowOrder::BottomUp);
}

DecodeResult DecodeChecked(const uint8_t* file, size_t size, const DecodeOptions& options, const ImageInfo& info,
                           uint8_t* pixels, size_t stride) {
    const bool bottomUp = options.rows == RowOrder::BottomUp;
    const ptrdiff_t step = static_cast<ptrdiff_t>(stride);
    OutputRows out{bottomUp ? pixels + (info.height - 1) * stride : pixels, bottomUp ? -step : step,
                   options.channels == ChannelOrder::Rgba, options.alpha == AlphaMode::Premultiplied};
    std::span<const uint8_t> bytes(file, size);
    if (info.format == FileFormat::Png) return entry::DecodePng(bytes, options, info, out);
    return entry::DecodePicture(bytes, options, info, out);
}

}  // namespace

const char* DescribeStatus(DecodeStatus status) noexcept {
    switch (status) {
        case DecodeStatus::Ok: return "ok";
        case DecodeStatus::InvalidArgument: return "invalid argument";
        case DecodeStatus::NotAPicture: return "not a picture";
        case DecodeStatus::Unsupported: return "unsupported";
        case DecodeStatus::Damaged: return "damaged";
        case DecodeStatus::Truncated: return "truncated";
        case DecodeStatus::ChecksumMismatch: return "checksum mismatch";
        case DecodeStatus::TooLarge: return "too large";
        case DecodeStatus::OutOfMemory: return "out of memory";
    }
    return "unknown status";
}

DecodeResult ReadImageInfo(const uint8_t* file, size_t size) noexcept {
    if (file == nullptr || size == 0) return Fail(DecodeStatus::InvalidArgument, "no bytes were given");
    try {
        return ReadInfo({file, size});
    } catch (const std::bad_alloc&) {
        return Fail(DecodeStatus::OutOfMemory, "memory ran out while reading the headers");
    } catch (...) {
        return Fail(DecodeStatus::Damaged, "the headers could not be read");
    }
}

DecodeResult DecodeImage(const uint8_t* file, size_t size, const DecodeOptions& options, uint8_t* pixels,
                         size_t bufferSize, size_t stride) noexcept {
    try {
        if (!ValidOptions(options)) return Fail(DecodeStatus::InvalidArgument, "an option has no such value");
        DecodeResult info = CheckedInfo(file, size, options);
        if (!info) return info;
        const ImageInfo& i = info.info;
        if (uint64_t(uint32_t(i.width)) * 4 > SIZE_MAX)
            return Fail(DecodeStatus::TooLarge, "a row does not fit the address space", i);
        const size_t rowBytes = size_t(i.width) * 4;
        if (pixels == nullptr || stride < rowBytes)
            return Fail(DecodeStatus::InvalidArgument, "the stride is less than four bytes a pixel", i);
        if (bufferSize < rowBytes || size_t(i.height - 1) > (bufferSize - rowBytes) / stride)
            return Fail(DecodeStatus::InvalidArgument, "the buffer is too small for the picture", i);
        return DecodeChecked(file, size, options, i, pixels, stride);
    } catch (const std::bad_alloc&) {
        return Fail(DecodeStatus::OutOfMemory, "memory ran out while decoding");
    } catch (...) {
        return Fail(DecodeStatus::Damaged, "the picture could not be decoded");
    }
}

DecodeResult DecodeImage(const uint8_t* file, size_t size, const DecodeOptions& options,
                         DecodedImage& image) noexcept {
    image = {};
    try {
        if (!ValidOptions(options)) return Fail(DecodeStatus::InvalidArgument, "an option has no such value");
        DecodeResult info = CheckedInfo(file, size, options);
        if (!info) return info;
        const ImageInfo& i = info.info;
        const uint64_t bytes = uint64_t(uint32_t(i.width)) * uint32_t(i.height) * 4;
        if (bytes > SIZE_MAX / 2) return Fail(DecodeStatus::TooLarge, "the picture does not fit the address space", i);
        std::vector<uint8_t> pixels(static_cast<size_t>(bytes));
        const size_t stride = size_t(i.width) * 4;
        DecodeResult result = DecodeChecked(file, size, options, i, pixels.data(), stride);
        if (result) image = {i.width, i.height, stride, std::move(pixels)};
        return result;
    } catch (const std::bad_alloc&) {
        return Fail(DecodeStatus::OutOfMemory, "memory ran out while decoding");
    } catch (...) {
        return Fail(DecodeStatus::Damaged, "the picture could not be decoded");
    }
}

bool DecodeImage(const uint8_t* file, size_t size, DecodedImage& image) noexcept {
    DecodeOptions options;
    options.channels = ChannelOrder::Bgra;
    return static_cast<bool>(DecodeImage(file, size, options, image));
}

}  // namespace mendlow
