// The first image of a GIF file: the block walk up to it (its size, colour
// table, transparent colour and compressed data), and its pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "codecs/output_rows.h"

namespace gif {

struct FirstImage {
    int32_t width = 0, height = 0;
    bool interlaced = false;
    size_t tablePosition = 0;  // the colour table that applies: local, else global
    size_t tableEntries = 0;
    bool transparent = false;  // from the last graphic-control block before the image
    uint8_t transparentIndex = 0;
    int codeSize = 0;
    std::vector<uint8_t> lzw;  // the data sub-blocks joined
};

enum class Walk {
    Found,
    Broken,         // the data ends before the image's data does
    NoImage,        // a block that is neither an extension nor an image comes first
    NoColourTable,  // the image has no table, local or global
};

// "GIF87a" or "GIF89a", letters in any case; the bytes hold at least 6.
bool IsSignature(std::span<const uint8_t> bytes);

// Walks from the logical screen descriptor to the end of the first image's
// data. Every position FirstImage names lies inside bytes when Found.
Walk FindFirstImage(std::span<const uint8_t> bytes, FirstImage& image);

// Whether the image can be decoded: a size and a code size it can have.
bool IsDecodable(const FirstImage& image);

// Decodes a Found, decodable image into out, image.width x image.height
// pixels: each index's table colour, opaque black past the table. The
// transparent index gets alpha 0 and keeps its colour in straight output.
// Pixels the data does not reach take index 0.
void WritePixels(std::span<const uint8_t> bytes, const FirstImage& image, const OutputRows& out);

}  // namespace gif
