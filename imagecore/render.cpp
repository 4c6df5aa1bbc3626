// Render: argument normalisation and the choice of drawing path.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"

#ifdef _WIN32
#include "codecs/win32/cGDIPlus.h"
#endif

namespace {

bool FitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// Whole angles turn by their value modulo 360; any fraction turns. Angles
// that are not finite are drawn unturned.
bool NeedsRotation(float angle) {
    if (!std::isfinite(angle)) return false;
    if (angle != std::trunc(angle)) return true;
    return std::fmod(angle, 360.0f) != 0;
}

}  // namespace

bool c32bppDIB::Render(DrawingDc destinationDC, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                       int32_t SrcX, int32_t SrcY, int32_t srcWidth, int32_t srcHeight, int32_t Opacity,
                       [[maybe_unused]] bool Blend, [[maybe_unused]] bool SetHalfTone, c32bppDIB* destHostDIB,
                       int32_t grayScale, float LightAdjustment, float Angle, bool CenterOnDestXY) {
    if (Opacity <= 0) return Handle() != 0;
    if (Handle() == 0) return false;
    if (destinationDC == nullptr && destHostDIB == nullptr) return false;
    if (destHostDIB != nullptr && destHostDIB->Handle() == 0) return false;

    // Worked in 64 bits: negating or halving extreme sizes cannot overflow.
    int64_t dx = destX, dy = destY;
    int64_t dw = destWidth != 0 ? destWidth : width_;
    int64_t dh = destHeight != 0 ? destHeight : height_;
    const int64_t sx = SrcX < 0 ? 0 : SrcX;
    const int64_t sy = SrcY < 0 ? 0 : SrcY;
    int64_t sw = srcWidth != 0 ? srcWidth : width_;
    int64_t sh = srcHeight != 0 ? srcHeight : height_;
    if (sw < 0) sw = -sw, dw = -dw;
    if (sh < 0) sh = -sh, dh = -dh;
    if (sx + sw > width_) sw = width_ - sx;
    if (sy + sh > height_) sh = height_ - sy;
    if (sw < 1 || sh < 1) return false;  // the rectangle starts beyond the image

    const bool rotate = NeedsRotation(Angle);
    int32_t percent = Opacity % 100;
    if (percent == 0) percent = 100;
    if (!std::isfinite(LightAdjustment) || LightAdjustment > 100 || LightAdjustment < -100) LightAdjustment = 0;
    if (CenterOnDestXY) {
        dx -= rotate ? dw / 2 : std::llabs(dw / 2);
        dy -= rotate ? dh / 2 : std::llabs(dh / 2);
    }
    if (!FitsInt32(dx) || !FitsInt32(dy) || !FitsInt32(dw) || !FitsInt32(dh)) return false;
    destX = static_cast<int32_t>(dx), destY = static_cast<int32_t>(dy);
    destWidth = static_cast<int32_t>(dw), destHeight = static_cast<int32_t>(dh);
    SrcX = static_cast<int32_t>(sx), SrcY = static_cast<int32_t>(sy);
    srcWidth = static_cast<int32_t>(sw), srcHeight = static_cast<int32_t>(sh);

    if (rotate)
        return pvRenderRotated(destinationDC, Angle, destX, destY, destWidth, destHeight, SrcX, SrcY, srcWidth,
                               srcHeight, percent, destHostDIB, grayScale, LightAdjustment);

    const bool mirrored = destWidth < 0 || destHeight < 0;
    const bool stretched = std::abs(dw) != srcWidth || std::abs(dh) != srcHeight;
    const auto opacityLevel = static_cast<uint32_t>(percent * 255 / 100);

#ifdef _WIN32
    bool useAlphaBlend = false;
    if ((gdiToken_ == 0 || !isGDIplusEnabled()) && isAlphaBlendFriendly() && !mirrored && grayScale == -1 &&
        LightAdjustment == 0)
        useAlphaBlend = !stretched || !highQualityInterpolation_;
    if (!useAlphaBlend && isGDIplusEnabled()) {
        HDC target = destHostDIB ? destHostDIB->LoadDIBinDC(true) : destinationDC;
        const bool drawn = cGDIPlus().DrawThroughGDIplus(*this, target, 0, percent, destX, destY, destWidth,
                                                         destHeight, SrcX, SrcY, srcWidth, srcHeight,
                                                         highQualityInterpolation_, grayScale, gdiToken_,
                                                         LightAdjustment);
        if (destHostDIB) destHostDIB->LoadDIBinDC(false);
        return drawn;
    }
    if (useAlphaBlend) {
        HDC target = destHostDIB ? destHostDIB->LoadDIBinDC(true) : destinationDC;
        const bool drawn = pvAlphaBlend(target, destX, destY, destWidth, destHeight, SrcX, SrcY, srcWidth, srcHeight,
                                        opacityLevel, SetHalfTone);
        if (destHostDIB) destHostDIB->LoadDIBinDC(false);
        return drawn;
    }
#endif

    PixelGrid mirroredGrid;
    if (mirrored &&
        !pvMirrorSource(SrcX, SrcY, srcWidth, srcHeight, destWidth, destHeight, mirroredGrid, nullptr, LightAdjustment))
        return false;
    PixelGrid* source = mirrored ? &mirroredGrid : nullptr;
    if (!stretched)
        return pvBlendToDestination(destinationDC, source, false, SrcX, SrcY, destX, destY, destWidth, destHeight,
                                    opacityLevel, destHostDIB, grayScale, LightAdjustment);
    PixelGrid scaled;
    if (!pvScaleSource(source, nullptr, SrcX, SrcY, srcWidth, srcHeight, destX, destY, destWidth, destHeight,
                       LightAdjustment, scaled))
        return false;
    return pvBlendToDestination(destinationDC, &scaled, true, 0, 0, destX, destY, destWidth, destHeight, opacityLevel,
                                destHostDIB, grayScale, LightAdjustment);
}
