// Rotation: walks the square intermediate grid and samples the source where
// the turned rectangle covers it. The position runs on from pixel to pixel
// by adding the step, as its rounding is part of the result.
#include <cstring>
#include <new>
#include <vector>

#include "imagecore/pixel_engine.h"

namespace engine {

void RotateInto(const PixelView& source, const RotationGeometry& g, bool interpolate, const PixelView& out) {
    const int32_t side = out.width;
    if (side < 1 || out.height != side || source.width < 1 || source.height < 1) return;
    // The rectangle must lie in the source, so that every tap does too.
    if (g.srcX < 0 || g.rowBase < 0 || g.srcWidth < 1 || g.srcHeight < 1 ||
        int64_t{g.srcX} + g.srcWidth > source.width || int64_t{g.rowBase} + g.srcHeight > source.height)
        return;
    const int32_t right = g.srcX + g.srcWidth;
    const int32_t top = g.rowBase + g.srcHeight;
    const int32_t cx = g.srcWidth / 2 + g.srcX;
    const int32_t cy = g.srcHeight / 2 + g.rowBase;
    const int32_t offX = (side - g.srcWidth) / 2;
    const int32_t offY = (side - g.srcHeight) / 2;
    // The grid is laid out around the rectangle itself (its origin added),
    // so that the turned picture is centred whatever part is drawn.
    const int32_t firstX = g.srcX - offX;
    const int32_t firstY = g.rowBase - offY;

    // Interpolating onto a grid with more pixels than the rectangle reads
    // each source byte several times: the rectangle (and the row below it,
    // which the lowest samples reach) is widened to double once, exactly.
    const int32_t firstRow = g.rowBase > 0 ? g.rowBase - 1 : 0;
    const size_t rowValues = static_cast<size_t>(g.srcWidth) * 4;
    const size_t widenedCount = rowValues * static_cast<size_t>(top - firstRow);
    std::vector<double> widened;
    if (interpolate && static_cast<uint64_t>(side) * side >= static_cast<uint64_t>(g.srcWidth) * g.srcHeight &&
        widenedCount <= (size_t{1} << 22)) {
        try {
            widened.resize(widenedCount);
        } catch (const std::bad_alloc&) {
            widened.clear();  // reads the bytes instead
        }
        for (int32_t r = firstRow; r < top && !widened.empty(); ++r) {
            const uint8_t* from = source.MemoryRow(r) + static_cast<size_t>(g.srcX) * 4;
            double* to = widened.data() + static_cast<size_t>(r - firstRow) * rowValues;
            for (size_t i = 0; i < rowValues; ++i) to[i] = from[i];
        }
    }

    for (int32_t row = 0; row < side; ++row) {
        const int32_t y = firstY + row;
        double px = (firstX - cx) * g.cX + (y - cy) * g.sX + cx;
        double py = (y - cy) * g.cY - (firstX - cx) * g.sY + cy;
        uint8_t* to = out.MemoryRow(row);
        for (int32_t column = 0; column < side; ++column, to += 4) {
            if (g.srcX <= px && px < right && g.rowBase <= py && py < top) {
                if (interpolate) {
                    const ColumnTaps c = ColumnTapsAt(px, right - 1);
                    const RowTaps r = RowTapsAt(py, top - 1);
                    const double w00 = c.firstWeight * r.upperWeight, w01 = c.secondWeight * r.upperWeight;
                    const double w10 = c.firstWeight * r.lowerWeight, w11 = c.secondWeight * r.lowerWeight;
                    if (!widened.empty()) {
                        const double* upper = widened.data() + static_cast<size_t>(r.upper - firstRow) * rowValues;
                        const double* lower = widened.data() + static_cast<size_t>(r.lower - firstRow) * rowValues;
                        const int32_t first = (c.first - g.srcX) * 4, second = (c.second - g.srcX) * 4;
                        for (int channel = 0; channel < 4; ++channel)
                            to[channel] = WeightedByte(upper, lower, first + channel, second + channel, w00, w01, w10,
                                                       w11);
                    } else {
                        const uint8_t* upper = source.MemoryRow(r.upper);
                        const uint8_t* lower = source.MemoryRow(r.lower);
                        for (int channel = 0; channel < 4; ++channel)
                            to[channel] = WeightedByte(upper, lower, c.first * 4 + channel, c.second * 4 + channel,
                                                       w00, w01, w10, w11);
                    }
                } else {
                    const auto xi = static_cast<int32_t>(px);  // px >= 0: truncation is floor
                    const auto yi = static_cast<int32_t>(py);
                    std::memcpy(to, source.MemoryRow(yi) + static_cast<size_t>(xi) * 4, 4);
                }
            }
            px += g.cX;
            py -= g.sY;
        }
    }
}

}  // namespace engine
