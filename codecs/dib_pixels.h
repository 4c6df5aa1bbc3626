// Windows device-independent bitmap pixels to 32-bit rows, shared by the BMP
// and ICO/CUR decoders. Colours come out as the system gives them when it
// reads such a bitmap back at 32 bits per pixel, in the output's channel
// order; every alpha byte is 255. Every read is bounds-checked against the
// spans handed in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "codecs/output_rows.h"

namespace dib {

enum class Compression { Rgb, Rle8, Rle4, BitFields };

// One colour channel of a 16- or 32-bit pixel: its lowest bit and width.
struct Channel {
    uint8_t shift = 0;
    uint8_t length = 0;
};

struct Format {
    int32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    Compression compression = Compression::Rgb;
    std::array<Channel, 3> channels{};  // red, green, blue; 16 and 32 bits only
    std::vector<uint32_t> palette;      // 0xFFRRGGBB; indices past its end are black
};

// Reads an information header (12-byte OS/2 core, or 40, 52, 56, 108 or 124
// bytes) and the masks and colour table after it. colourLimit, when set,
// replaces the header's colour count. Nothing for headers, depths and
// compressions this decoder does not take (JPEG or PNG inside, top-down
// run-length data, unknown sizes) or when the bytes end too soon.
std::optional<Format> ReadFormat(std::span<const uint8_t> header, std::optional<uint32_t> colourLimit = {});

// Bytes of one uncompressed row, padded to 4 bytes; nothing on overflow.
std::optional<size_t> RowBytes(int32_t width, int bitCount);

// Decodes the pixel data into out, which must hold format.width x
// format.height pixels. Uncompressed data must hold every row. Run-length
// data may end early or skip pixels: what it never reaches stays black.
bool DecodePixels(const Format& format, std::span<const uint8_t> pixels, const OutputRows& out);

// Whether the pixel data can hold the image: every row when uncompressed;
// run-length data may be of any length.
bool HoldsImage(const Format& format, size_t pixelBytes);

// Run-length decoding into width x height pixels of out, colours from 256
// table entries as they are to be written; pixels the data never reaches
// keep their value.
void ExpandRunLength(std::span<const uint8_t> data, bool fourBit, const std::array<uint32_t, 256>& colours,
                     const OutputRows& out, int32_t width, int32_t height);

}  // namespace dib
