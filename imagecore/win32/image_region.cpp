// The region of an image's visible pixels, for shaped hit-testing and clipping.
#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

win32::Region c32bppDIB::CreateRegion(int32_t Style, int32_t xOffset, int32_t yOffset) const {
    if (Handle() == 0 || Style < 0 || Style > 2) return {};
    win32::Region region = modParsers::CreateShapedRegion(*this, Style);
    if (region && (xOffset != 0 || yOffset != 0) && OffsetRgn(region.get(), xOffset, yOffset) == ERROR) return {};
    return region;
}
