#include "imagecore/pixel_grid.h"

#include <limits>
#include <new>

bool PixelGrid::Allocate(int32_t gridWidth, int32_t gridHeight) {
    bytes.clear();
    width = height = 0;
    if (gridWidth < 1 || gridHeight < 1) return false;
    if (gridHeight > std::numeric_limits<int32_t>::max() / 4 / gridWidth) return false;
    try {
        bytes.assign(static_cast<size_t>(gridWidth) * static_cast<size_t>(gridHeight) * 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = gridWidth;
    height = gridHeight;
    return true;
}
