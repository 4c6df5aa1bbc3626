// The own pixel engine: mirroring, lightness, scaling, compositing and
// rotation on premultiplied BGRA pixels. The rounding of every step is part
// of the result: weights in double precision, floors and truncating integer
// divisions exactly where they are written below, so that the optimised
// loops give the same bytes as the per-pixel formulas.
//
// Callers hand in rectangles that lie inside their grids; the loops clamp
// again where a read could otherwise leave a grid, so no input reaches
// memory outside the buffers.
#pragma once

#include <cmath>
#include <cstdint>

#include "imagecore/pixel_view.h"

namespace engine {

// ---- Sampling factors shared by scaling and rotation -----------------------

// Two neighbouring columns and their weights; a single column is given
// twice with the second weight 0 (adding 0 changes no sum).
struct ColumnTaps {
    int32_t first = 0;
    int32_t second = 0;
    double firstWeight = 1;
    double secondWeight = 0;
};

// Column sx of a rectangle whose last column is lastColumn: floor(sx) and
// the next, weighted 1 - fx and fx; the last column alone with weight 1.
inline ColumnTaps ColumnTapsAt(double sx, int32_t lastColumn) {
    const double whole = std::floor(sx);
    if (!(whole < lastColumn)) return {lastColumn, lastColumn, 1, 0};
    if (!(whole >= 0)) return {0, 0, 1, 0};  // cannot happen for a valid rectangle
    const auto xi = static_cast<int32_t>(whole);
    const double fx = sx - whole;
    return {xi, xi + 1, 1 - fx, fx};
}

// Two memory rows, floor(sy) ("upper") and the one below it ("lower"), with
// fy = 1 - (sy - yi) and weights 1 - |0 - fy| and 1 - |1 - fy|; memory row
// 0 alone with weight 1.
struct RowTaps {
    int32_t upper = 0;
    int32_t lower = 0;
    double upperWeight = 1;
    double lowerWeight = 0;
};

inline RowTaps RowTapsAt(double sy, int32_t lastRow) {
    double whole = std::floor(sy);
    if (!(whole > 0)) return {0, 0, 1, 0};
    if (whole > lastRow) whole = lastRow;  // cannot happen for a valid rectangle
    const auto yi = static_cast<int32_t>(whole);
    const double fy = 1 - (sy - whole);
    return {yi, yi - 1, 1 - std::fabs(0 - fy), 1 - std::fabs(1 - fy)};
}

// The four samples of one output byte, accumulated in this order and
// rounded down. Rows of bytes, or of the same bytes widened to double.
template <class Sample>
inline uint8_t WeightedByte(const Sample* upperRow, const Sample* lowerRow, int32_t firstByte, int32_t secondByte,
                            double w00, double w01, double w10, double w11) {
    double sum = upperRow[firstByte] * w00;
    sum += upperRow[secondByte] * w01;
    sum += lowerRow[firstByte] * w10;
    sum += lowerRow[secondByte] * w11;
    return sum >= 255 ? uint8_t{255} : static_cast<uint8_t>(sum);  // sum >= 0: truncation is floor
}

// ---- Mirroring and lightness ------------------------------------------------

// Copies the rectangle (srcX, srcY: top-left in picture coordinates; width x
// height) into out, flipped as asked: mirrored, output column k is source
// column Width - 1 - srcX - k and the output's top row is picture row
// Height - 1 - srcY. Only what fits both the source and out is copied.
void MirrorRectangle(const PixelView& source, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                     bool mirrorX, bool mirrorY, const PixelView& out);

// Adds LightAdjustment percent of full brightness to every visible pixel,
// scaled by its alpha and kept within 0..alpha.
void AdjustLightness(const PixelView& pixels, float lightAdjustment);

// ---- Scaling ----------------------------------------------------------------

struct ScaleGeometry {
    int32_t srcX = 0;          // first column of the source rectangle
    int32_t srcWidth = 0;      // its width
    int32_t rowBase = 0;       // memory row of its bottom
    double rx = 1, ry = 1;     // source pixels per output pixel
    int32_t columnOffset = 0;  // output columns cut at the left
};

// Fills all of out from source. The column tables they make are the only
// allocation (std::bad_alloc when memory runs out).
void ScaleNearest(const PixelView& source, const ScaleGeometry& geometry, const PixelView& out);
void ScaleInterpolated(const PixelView& source, const ScaleGeometry& geometry, const PixelView& out);

// ---- Compositing ------------------------------------------------------------

struct GreyWeights {
    float red, green, blue;
};

// One row of source pixels over count destination pixels of 3 bytes (a
// device's colours) or 4 (an image with alpha). opacity is 0..255; grey,
// when given, replaces each source colour by its weighted sum.
void CompositeRow(const uint8_t* source, uint8_t* destination, int32_t count, int destinationPixelBytes,
                  uint32_t opacity, const GreyWeights* grey);

// ---- Rotation ---------------------------------------------------------------

struct RotationGeometry {
    int32_t srcX = 0, srcWidth = 0;       // columns of the source rectangle
    int32_t rowBase = 0, srcHeight = 0;   // memory rows of the source rectangle
    double cX = 1, sX = 0, cY = 1, sY = 0;  // rotation over scale
};

// Samples the rotated rectangle into the square grid out (side x side);
// pixels outside the rectangle are left as they are.
void RotateInto(const PixelView& source, const RotationGeometry& geometry, bool interpolate, const PixelView& out);

}  // namespace engine
