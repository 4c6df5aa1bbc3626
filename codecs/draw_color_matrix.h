// The 5 x 5 colour matrix GDI+ draws an image through: rows are the input
// components (red, green, blue, alpha, constant), columns the outputs.
#pragma once

#include <array>
#include <cstdint>

using ColorMatrix5 = std::array<std::array<float, 5>, 5>;

// Grey-scale (formula, -1 for none) and lightness (-100..100 as a percentage
// added to each colour); opacity (0..100) scales alpha.
ColorMatrix5 DrawColorMatrix(int32_t grayScale, float lightAdjustment, int32_t opacity);

// The flip that makes a bottom-up buffer upright, with mirroring by the
// signs of the destination size: 6 (vertical) normally, 0 for a negative
// height, combined with 4 (horizontal) for a negative width.
int DrawFlipType(int32_t destWidth, int32_t destHeight);
