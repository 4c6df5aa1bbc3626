// Decoding a picture file in memory with Mendlow's own codecs: PNG (with
// its own inflater), BMP, GIF (the first frame) and ICO/CUR, on Windows and
// elsewhere. C++17; a C interface with the same rules is in
// mendlow/image_codecs_c.h.
//
// Every call here is noexcept and keeps no state between calls: any number
// of threads may decode at once, each with its own bytes and output. Bad
// input gets a status and a message, never a crash or a read or write
// outside the buffers given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mendlow/codecs_export.h"

namespace mendlow {

enum class DecodeStatus : int32_t {
    Ok = 0,
    InvalidArgument = 1,   // null bytes, a null or short buffer, a stride below width x 4
    NotAPicture = 2,       // no format these codecs know starts this way
    Unsupported = 3,       // a known format in a form these codecs do not read
    Damaged = 4,           // the file breaks its format's rules
    Truncated = 5,         // the file ends before its picture does
    ChecksumMismatch = 6,  // a PNG chunk's CRC-32 or the image data's Adler-32
    TooLarge = 7,          // more pixels than DecodeOptions::maxPixels
    OutOfMemory = 8,
};

// A short English text for a status, for logs ("ok", "damaged", ...).
MENDLOW_CODECS_API const char* DescribeStatus(DecodeStatus status) noexcept;

enum class FileFormat : int32_t { Unknown = 0, Png = 1, Bmp = 2, Gif = 3, Ico = 4, Cur = 5 };

struct ImageInfo {
    int32_t width = 0;
    int32_t height = 0;
    FileFormat format = FileFormat::Unknown;
    // Whether any pixel may be less than opaque: an alpha channel, a PNG
    // tRNS chunk, a GIF transparent colour, an icon's mask.
    bool hasAlpha = false;
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::NotAPicture;
    // Why, in a sentence ("a chunk's CRC-32 does not match"); a static
    // string, never null.
    const char* message = "";
    ImageInfo info;  // filled as far as the file was read

    explicit operator bool() const noexcept { return status == DecodeStatus::Ok; }
};

enum class ChannelOrder : int32_t { Rgba = 0, Bgra = 1 };  // byte order in memory
enum class AlphaMode : int32_t { Straight = 0, Premultiplied = 1 };
enum class RowOrder : int32_t { TopDown = 0, BottomUp = 1 };

// 64 Mi pixels: an 8192 x 8192 picture, 256 MiB of output.
inline constexpr uint64_t kDefaultMaxPixels = uint64_t{1} << 26;

struct DecodeOptions {
    ChannelOrder channels = ChannelOrder::Rgba;
    AlphaMode alpha = AlphaMode::Straight;
    RowOrder rows = RowOrder::TopDown;
    // A picture with more pixels answers TooLarge before anything is
    // allocated for it.
    uint64_t maxPixels = kDefaultMaxPixels;
    // PNG: every chunk's CRC-32 and the image data's Adler-32.
    bool checkChecksums = true;
};

// Size, format and alpha from the headers, without decoding pixels, as a
// decode with the checksums checked sees them. An ICO or CUR file gives the
// image DecodeImage would choose.
MENDLOW_CODECS_API DecodeResult ReadImageInfo(const uint8_t* file, size_t size) noexcept;

// Four bytes a pixel as the options say. Straight alpha gives each pixel's
// stored colour, also where it is transparent; premultiplied gives
// colour x alpha / 255, truncated. A PNG's 16-bit samples keep their high
// byte; grey samples of 1, 2 or 4 bits are scaled to 0-255.
//
// Into the caller's buffer: rows are stride bytes apart (at least width x 4),
// the buffer at least stride x (height - 1) + width x 4 bytes (ask
// ReadImageInfo first). Nothing past the last pixel of a row is written. On
// failure the buffer holds whatever was decoded so far.
MENDLOW_CODECS_API DecodeResult DecodeImage(const uint8_t* file, size_t size, const DecodeOptions& options,
                                            uint8_t* pixels, size_t bufferSize, size_t stride) noexcept;

struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    size_t stride = 0;  // width x 4
    std::vector<uint8_t> pixels;
};

// The same into an image it allocates; left empty on failure.
MENDLOW_CODECS_API DecodeResult DecodeImage(const uint8_t* file, size_t size, const DecodeOptions& options,
                                            DecodedImage& image) noexcept;

// The first form of this entry, kept for the programs that call it: blue,
// green, red, alpha, straight, top-down, with the default limits; false on
// any failure.
MENDLOW_CODECS_API bool DecodeImage(const uint8_t* file, size_t size, DecodedImage& image) noexcept;

}  // namespace mendlow
