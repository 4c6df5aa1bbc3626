// The table-driven scalers and the rotation sampler against a plain
// per-pixel reading of the formulas, on random images, rectangles, sizes,
// cuts and turns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "imagecore/pixel_engine.h"
#include "imagecore/pixel_grid.h"

namespace {

// One output pixel from the samples around (sx, sy), each on its own:
// factors from the formulas, zero factors skipped, byte x (column factor x
// row factor) summed in double and floored.
void NaiveSample(const PixelView& source, double sx, double sy, int32_t lastColumn, uint8_t* to) {
    const int32_t yi = static_cast<int32_t>(std::floor(sy));
    int32_t rows[2] = {yi, yi - 1};
    double rowFactor[2] = {1, 0};
    if (yi != 0) {
        const double fy = 1 - (sy - yi);
        rowFactor[0] = 1 - std::fabs(0 - fy);
        rowFactor[1] = 1 - std::fabs(1 - fy);
    }
    const int32_t xi = static_cast<int32_t>(std::floor(sx));
    int32_t columns[2] = {xi, xi + 1};
    double columnFactor[2] = {1, 0};
    if (xi != lastColumn) {
        const double fx = sx - xi;
        columnFactor[0] = 1 - fx;
        columnFactor[1] = fx;
    }
    double sum[4] = {0, 0, 0, 0};
    for (int r = 0; r < 2; ++r) {
        if (rowFactor[r] == 0) continue;
        for (int c = 0; c < 2; ++c) {
            if (columnFactor[c] == 0) continue;
            const double weight = columnFactor[c] * rowFactor[r];
            const uint8_t* p = source.MemoryRow(rows[r]) + columns[c] * 4;
            for (int k = 0; k < 4; ++k) sum[k] += p[k] * weight;
        }
    }
    for (int k = 0; k < 4; ++k) to[k] = static_cast<uint8_t>(std::floor(sum[k]));
}

void NaiveInterpolated(const PixelView& source, const engine::ScaleGeometry& g, const PixelView& out) {
    for (int32_t y = out.height - 1; y >= 0; --y)
        for (int32_t x = 0; x < out.width; ++x)
            NaiveSample(source, g.srcX + (x + g.columnOffset) * g.rx, y * g.ry + g.rowBase, g.srcX + g.srcWidth - 1,
                        out.MemoryRow(y) + x * 4);
}

void NaiveNearest(const PixelView& source, const engine::ScaleGeometry& g, const PixelView& out) {
    for (int32_t y = out.height - 1; y >= 0; --y) {
        const int32_t row = static_cast<int32_t>(std::floor(y * g.ry)) + g.rowBase;
        for (int32_t x = 0; x < out.width; ++x) {
            const int32_t offset = static_cast<int32_t>(std::floor((x + g.columnOffset) * g.rx + g.srcX)) * 4;
            for (int k = 0; k < 4; ++k) out.MemoryRow(y)[x * 4 + k] = source.MemoryRow(row)[offset + k];
        }
    }
}

TEST(EngineScale, TablesGiveTheSameBytesAsThePerPixelFormulas) {
    std::mt19937 random(20261207);
    auto below = [&](int n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
    for (int round = 0; round < 400; ++round) {
        PixelGrid source;
        ASSERT_TRUE(source.Allocate(1 + below(40), 1 + below(40)));
        for (uint8_t& b : source.bytes) b = static_cast<uint8_t>(random());

        engine::ScaleGeometry g;
        g.srcX = below(source.width);
        g.srcWidth = 1 + below(source.width - g.srcX);
        const int32_t srcY = below(source.height);
        const int32_t srcHeight = 1 + below(source.height - srcY);
        g.rowBase = source.height - srcHeight - srcY;
        const int32_t fullWidth = 1 + below(round % 3 == 0 ? 8 : 120);
        const int32_t fullHeight = 1 + below(round % 3 == 1 ? 8 : 120);
        g.rx = static_cast<double>(g.srcWidth) / fullWidth;
        g.ry = static_cast<double>(srcHeight) / fullHeight;
        g.columnOffset = round % 4 == 0 ? below(fullWidth) : 0;
        const int32_t cutRows = round % 5 == 0 ? below(fullHeight) : 0;

        PixelGrid fast, naive;
        ASSERT_TRUE(fast.Allocate(fullWidth - g.columnOffset, fullHeight - cutRows));
        ASSERT_TRUE(naive.Allocate(fast.width, fast.height));
        engine::ScaleInterpolated(source.View(), g, fast.View());
        NaiveInterpolated(source.View(), g, naive.View());
        ASSERT_EQ(fast.bytes, naive.bytes) << "interpolated, round " << round;

        engine::ScaleNearest(source.View(), g, fast.View());
        NaiveNearest(source.View(), g, naive.View());
        ASSERT_EQ(fast.bytes, naive.bytes) << "nearest, round " << round;
    }
}

// The turned grid, laid out around the rectangle's origin, walking each row
// by adding the steps.
void NaiveRotate(const PixelView& source, const engine::RotationGeometry& g, bool interpolate, const PixelView& out) {
    const int32_t side = out.width, right = g.srcX + g.srcWidth, top = g.rowBase + g.srcHeight;
    const int32_t cx = g.srcWidth / 2 + g.srcX, cy = g.srcHeight / 2 + g.rowBase;
    const int32_t offX = (side - g.srcWidth) / 2, offY = (side - g.srcHeight) / 2;
    for (int32_t y = g.rowBase - offY; y < g.rowBase - offY + side; ++y) {
        const int32_t x0 = g.srcX - offX;
        double px = (x0 - cx) * g.cX + (y - cy) * g.sX + cx;
        double py = (y - cy) * g.cY - (x0 - cx) * g.sY + cy;
        for (int32_t x = x0; x < x0 + side; ++x) {
            if (g.srcX <= px && px < right && g.rowBase <= py && py < top) {
                uint8_t* to = out.MemoryRow(y - (g.rowBase - offY)) + (x - x0) * 4;
                if (interpolate)
                    NaiveSample(source, px, py, right - 1, to);
                else
                    std::memcpy(to, source.MemoryRow(static_cast<int32_t>(std::floor(py))) +
                                        static_cast<int32_t>(std::floor(px)) * 4, 4);
            }
            px += g.cX;
            py -= g.sY;
        }
    }
}

TEST(EngineRotate, SamplesFollowThePerPixelFormulas) {
    std::mt19937 random(99);
    auto below = [&](int n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
    for (int round = 0; round < 300; ++round) {
        PixelGrid source;
        ASSERT_TRUE(source.Allocate(1 + below(24), 1 + below(24)));
        for (uint8_t& b : source.bytes) b = static_cast<uint8_t>(random());
        engine::RotationGeometry g;
        g.srcX = below(source.width);
        g.srcWidth = 1 + below(source.width - g.srcX);
        g.rowBase = below(source.height);
        g.srcHeight = 1 + below(source.height - g.rowBase);
        const double theta = -(4 * std::atan(1.0) * below(360)) / 180;
        const double xs = (1 + below(60)) / 16.0, ys = (1 + below(60)) / 16.0;
        g.cX = std::cos(theta) / xs, g.sX = std::sin(theta) / xs;
        g.cY = std::cos(theta) / ys, g.sY = std::sin(theta) / ys;
        PixelGrid fast, naive;
        const int32_t side = 1 + below(64);
        ASSERT_TRUE(fast.Allocate(side, side));
        ASSERT_TRUE(naive.Allocate(side, side));
        const bool interpolate = round % 3 != 0;
        engine::RotateInto(source.View(), g, interpolate, fast.View());
        NaiveRotate(source.View(), g, interpolate, naive.View());
        ASSERT_EQ(fast.bytes, naive.bytes) << "round " << round;
    }
}

TEST(EngineScale, ReadsStayInsideAnInconsistentRectangle) {
    // A rectangle reaching past the source: the scalers clamp instead of reading outside.
    PixelGrid source, out;
    ASSERT_TRUE(source.Allocate(2, 2));
    ASSERT_TRUE(out.Allocate(8, 8));
    engine::ScaleGeometry g{1, 5, 1, 3.0, 3.0, 0};
    engine::ScaleInterpolated(source.View(), g, out.View());
    engine::ScaleNearest(source.View(), g, out.View());
    SUCCEED();
}

}  // namespace
