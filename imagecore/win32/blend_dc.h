// Compositing onto a device context: the target area is read into a
// 24-bit bitmap, the pixels are laid over it, and it is written back.
#pragma once

#include <windows.h>

#include <cstdint>

#include "imagecore/pixel_engine.h"
#include "imagecore/pixel_view.h"

// The source rectangle starts at (srcX, srcY), picture coordinates, and
// must hold width x height pixels.
bool CompositeOntoDc(HDC dc, int32_t destX, int32_t destY, int32_t width, int32_t height, const PixelView& source,
                     int32_t srcX, int32_t srcY, uint32_t opacity, const engine::GreyWeights* grey);
