// BMP, GIF and ICO/CUR for the public entry, each with the codecs' own
// decoders only: never the system picture loader or GDI+, on any platform.
// Read…Info is given bytes that start as its format does; Decode… reads the
// headers again, and writes every pixel of the picture when they give the
// size that info holds.
#pragma once

#include "codecs/decode_entry.h"

namespace mendlow::entry {

DecodeResult ReadBmpInfo(std::span<const uint8_t> file);
DecodeResult DecodeBmp(std::span<const uint8_t> file, const ImageInfo& info, const OutputRows& out);

DecodeResult ReadGifInfo(std::span<const uint8_t> file);
DecodeResult DecodeGif(std::span<const uint8_t> file, const ImageInfo& info, const OutputRows& out);

// The image the image object chooses when no size is asked for; a PNG
// image inside goes through the PNG entry with the options' checksums.
DecodeResult ReadIconInfo(std::span<const uint8_t> file);
DecodeResult DecodeIcon(std::span<const uint8_t> file, const DecodeOptions& options, const ImageInfo& info,
                        const OutputRows& out);

// Whether headers read again give the size the output was made for.
inline bool SameSize(const ImageInfo& a, const ImageInfo& b) { return a.width == b.width && a.height == b.height; }
inline DecodeResult SizeChanged(const ImageInfo& info) {
    return Fail(DecodeStatus::InvalidArgument, "the file's headers changed while it was decoded", info);
}

}  // namespace mendlow::entry
