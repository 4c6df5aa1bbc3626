// The public decoding entry's parts, one per file format: each reads its
// format's headers into an ImageInfo, and decodes into rows the entry has
// checked against the limits and the caller's buffer. None throws; the entry
// turns an escaped std::bad_alloc into OutOfMemory all the same.
#pragma once

#include <span>

#include "codecs/output_rows.h"
#include "mendlow/image_codecs.h"

namespace mendlow::entry {

inline DecodeResult Fail(DecodeStatus status, const char* message, const ImageInfo& info = {}) {
    return {status, message, info};
}
inline DecodeResult Success(const ImageInfo& info) { return {DecodeStatus::Ok, "", info}; }

// For each format: Read…Info answers NotAPicture when the bytes do not
// start as that format does; Decode… is given what Read…Info answered.
DecodeResult ReadPngInfo(std::span<const uint8_t> file);
DecodeResult DecodePng(std::span<const uint8_t> file, const DecodeOptions& options, const ImageInfo& info,
                       const OutputRows& out);

// BMP, GIF and ICO/CUR.
DecodeResult ReadPictureInfo(std::span<const uint8_t> file);
DecodeResult DecodePicture(std::span<const uint8_t> file, const DecodeOptions& options, const ImageInfo& info,
                           const OutputRows& out);

}  // namespace mendlow::entry
