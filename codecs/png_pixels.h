// PNG pixel reconstruction: undoing the scan-line filters, walking the
// Adam7 passes and writing premultiplied pixels into a 32-bit image.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "codecs/output_rows.h"

namespace png {

struct ImageFormat {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colourType = 0;
};

struct Pass {
    int32_t y0, x0, dy, dx;
};
// Adam7 passes 1 to 7, then the whole image for data that is not interlaced.
inline constexpr Pass kPasses[8] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                    {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}, {0, 0, 1, 1}};
inline constexpr int kWholeImagePass = 7;

bool IsAllowedCombination(uint8_t colourType, uint8_t bitDepth);
int BitsPerPixel(const ImageFormat& format);
int FilterDistance(const ImageFormat& format);
int64_t RowBytes(const ImageFormat& format, int64_t pixels);
int64_t PassColumns(const ImageFormat& format, const Pass& pass);
int64_t PassRows(const ImageFormat& format, const Pass& pass);
// The size of the inflated image data; -1 when it does not fit 31 bits.
int64_t ExpectedInflatedSize(const ImageFormat& format, bool interlaced);

// The header checks, in order; the expected inflated size, or -1 when a
// check fails (sizes below 1, methods other than 0, unknown or forbidden
// depth and type, interlace above 1, width x 32 x height beyond 31 bits).
int64_t CheckHeader(int32_t width, int32_t height, uint8_t bitDepth, uint8_t colourType, uint8_t compression,
                    uint8_t filter, uint8_t interlace);

// The palette and transparency the writers read; transparencyKey -1: none.
struct Colours {
    std::vector<uint8_t> palette;  // red, green, blue per entry
    std::vector<uint8_t> transparency;
    int32_t transparencyKey = -1;
    // 16-bit samples match a key by both bytes, not the high byte alone.
    bool wholeSixteenBitKey = false;
};

// Default palettes for grey and palette images without PLTE.
void PreparePalette(const ImageFormat& format, Colours& colours);

// Takes the inflated image data in order, in parts of any size, and writes
// each row into target (of the format's size) once it is whole: unfiltered,
// plain or pass by pass. Every pixel is written, rows the data did not reach
// by Finish. Holds two rows. colours and target's pixels must outlive it.
class RowDecoder {
public:
    RowDecoder(const ImageFormat& format, const Colours& colours, bool interlaced, const OutputRows& target);
    ~RowDecoder();
    RowDecoder(const RowDecoder&) = delete;
    RowDecoder& operator=(const RowDecoder&) = delete;

    // False when a row fails: a palette index beyond the palette, or in
    // interlaced data a filter value above 4. Bytes past the last row are
    // ignored.
    bool Feed(std::span<const uint8_t> bytes);
    // The data ended: the rows it did not reach are decoded from zeros.
    bool Finish();

private:
    class Writer;
    void StartPass(int index);
    bool FinishRow(const uint8_t* filtered);

    const ImageFormat format_;
    std::unique_ptr<Writer> writer_;
    const bool interlaced_;
    const size_t distance_;
    std::vector<uint8_t> current_, previous_;
    int pass_ = 0;
    int64_t columns_ = 0, rows_ = 0, row_ = 0;
    size_t stride_ = 0, filled_ = 0;
    bool finished_ = false;
};

}  // namespace png
