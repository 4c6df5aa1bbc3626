// The first image's pixels, from its indices and colour table.
#include <cstring>

#include "codecs/gif_first_image.h"
#include "codecs/gif_lzw.h"

namespace gif {
namespace {

// Four bytes for every possible index, in the output's order. Indices past
// the table are opaque black, as a bitmap with a shorter palette shows them.
void MakeColours(std::span<const uint8_t> bytes, const FirstImage& image, const OutputRows& out,
                 uint8_t (&colours)[256][4]) {
    const int r = out.redFirst ? 0 : 2, b = 2 - r;
    for (size_t i = 0; i < 256; ++i) {
        uint8_t* c = colours[i];
        c[0] = c[1] = c[2] = 0, c[3] = 255;
        if (i < image.tableEntries) {
            const size_t at = image.tablePosition + 3 * i;
            c[r] = bytes[at], c[1] = bytes[at + 1], c[b] = bytes[at + 2];
        }
    }
    uint8_t* hidden = colours[image.transparentIndex];
    if (!image.transparent) return;
    hidden[3] = 0;
    if (out.premultiplied) hidden[0] = hidden[1] = hidden[2] = 0;
}

}  // namespace

bool IsDecodable(const FirstImage& image) {
    return IsLzwCodeSize(image.codeSize) && image.width > 0 && image.height > 0;
}

void WritePixels(std::span<const uint8_t> bytes, const FirstImage& image, const OutputRows& out) {
    // The decoder copies earlier strings out of its own output, so the
    // indices need a buffer of their own: one byte a pixel. Pixels that the
    // data does not reach keep index 0, as in a freshly made bitmap: a
    // short or damaged stream still shows what it holds.
    const size_t width = static_cast<size_t>(image.width);
    std::vector<uint8_t> indices(width * static_cast<size_t>(image.height), 0);
    DecodeLzw(image.lzw, image.codeSize, indices);
    uint8_t colours[256][4];
    MakeColours(bytes, image, out, colours);

    auto writeRow = [&](size_t storedRow, int32_t pictureRow) {
        const uint8_t* source = indices.data() + storedRow * width;
        uint8_t* target = out.Row(pictureRow);
        for (size_t x = 0; x < width; ++x) std::memcpy(target + 4 * x, colours[source[x]], 4);
    };
    // An interlaced image keeps its rows in four passes.
    if (!image.interlaced) {
        for (int32_t y = 0; y < image.height; ++y) writeRow(static_cast<size_t>(y), y);
        return;
    }
    static constexpr int32_t kPassStart[4] = {0, 4, 2, 1}, kPassStep[4] = {8, 8, 4, 2};
    size_t storedRow = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int32_t y = kPassStart[pass]; y < image.height; y += kPassStep[pass]) writeRow(storedRow++, y);
}

}  // namespace gif
