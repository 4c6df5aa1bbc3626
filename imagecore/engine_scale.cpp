// Scaling: nearest neighbour and interpolated. Everything that depends on
// the column alone is worked out once per call into a table, with the same
// arithmetic as the per-pixel formula, so the table changes no output byte.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imagecore/pixel_engine.h"

namespace engine {
namespace {

int32_t LastColumn(const PixelView& source, const ScaleGeometry& g) {
    const int64_t last = int64_t{g.srcX} + g.srcWidth - 1;
    return static_cast<int32_t>(std::clamp<int64_t>(last, 0, source.width - 1));
}

int32_t ClampRow(double row, const PixelView& source) {
    if (!(row > 0)) return 0;  // also NaN
    return row >= source.height - 1 ? source.height - 1 : static_cast<int32_t>(row);
}

}  // namespace

void ScaleNearest(const PixelView& source, const ScaleGeometry& g, const PixelView& out) {
    if (source.width < 1 || source.height < 1 || out.width < 1 || out.height < 1) return;
    const int32_t lastColumn = LastColumn(source, g);
    std::vector<int32_t> columnBytes(static_cast<size_t>(out.width));
    for (int32_t x = 0; x < out.width; ++x) {
        const double column = std::floor((x + g.columnOffset) * g.rx + g.srcX);
        columnBytes[x] = 4 * (column >= lastColumn ? lastColumn : column > 0 ? static_cast<int32_t>(column) : 0);
    }
    for (int32_t y = 0; y < out.height; ++y) {
        const double row = std::floor(y * g.ry) + g.rowBase;
        const uint8_t* from = source.MemoryRow(ClampRow(row, source));
        uint8_t* to = out.MemoryRow(y);
        for (int32_t x = 0; x < out.width; ++x, to += 4) std::memcpy(to, from + columnBytes[x], 4);
    }
}

void ScaleInterpolated(const PixelView& source, const ScaleGeometry& g, const PixelView& out) {
    if (source.width < 1 || source.height < 1 || out.width < 1 || out.height < 1) return;
    const int32_t lastColumn = LastColumn(source, g);
    const int32_t firstColumn = std::clamp(g.srcX, 0, lastColumn);
    struct Column {
        int32_t first, second;  // byte offsets from firstColumn
        double firstWeight, secondWeight;
    };
    std::vector<Column> columns(static_cast<size_t>(out.width));
    for (int32_t x = 0; x < out.width; ++x) {
        const double sx = g.srcX + (x + g.columnOffset) * g.rx;
        ColumnTaps taps = ColumnTapsAt(sx, lastColumn);
        taps.first = std::max(taps.first, firstColumn) - firstColumn;  // no change for a valid rectangle
        taps.second = std::max(taps.second, firstColumn) - firstColumn;
        columns[x] = {taps.first * 4, taps.second * 4, taps.firstWeight, taps.secondWeight};
    }

    // Enlarging reads every source byte several times: the two rows in use
    // are widened to double once (exactly), and the previous upper row
    // becomes the next lower one.
    const size_t rowValues = static_cast<size_t>(lastColumn - firstColumn + 1) * 4;
    const bool widen = static_cast<size_t>(out.width) * 4 >= rowValues;
    std::vector<double> upperValues(widen ? rowValues : 0), lowerValues(widen ? rowValues : 0);
    int32_t widenedUpper = -1, widenedLower = -1;
    auto widenRow = [&](int32_t row, std::vector<double>& values) {
        const uint8_t* from = source.MemoryRow(row) + static_cast<size_t>(firstColumn) * 4;
        for (size_t i = 0; i < rowValues; ++i) values[i] = from[i];
    };

    for (int32_t y = 0; y < out.height; ++y) {
        const double sy = y * g.ry + g.rowBase;
        const RowTaps rows = RowTapsAt(sy, source.height - 1);
        uint8_t* to = out.MemoryRow(y);
        auto fill = [&](const auto* upper, const auto* lower) {
            for (const Column& c : columns) {
                const double w00 = c.firstWeight * rows.upperWeight, w01 = c.secondWeight * rows.upperWeight;
                const double w10 = c.firstWeight * rows.lowerWeight, w11 = c.secondWeight * rows.lowerWeight;
                for (int channel = 0; channel < 4; ++channel)
                    to[channel] = WeightedByte(upper, lower, c.first + channel, c.second + channel, w00, w01, w10, w11);
                to += 4;
            }
        };
        if (!widen) {
            const size_t skip = static_cast<size_t>(firstColumn) * 4;
            fill(source.MemoryRow(rows.upper) + skip, source.MemoryRow(rows.lower) + skip);
            continue;
        }
        if (rows.lower != widenedLower) {
            if (rows.lower == widenedUpper) {
                std::swap(upperValues, lowerValues);
                std::swap(widenedUpper, widenedLower);
            } else {
                widenRow(rows.lower, lowerValues);
                widenedLower = rows.lower;
            }
        }
        if (rows.upper != widenedUpper) {
            widenRow(rows.upper, upperValues);
            widenedUpper = rows.upper;
        }
        fill(upperValues.data(), lowerValues.data());
    }
}

}  // namespace engine
