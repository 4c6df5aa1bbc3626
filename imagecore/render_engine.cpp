// The image object's own drawing engine: mirroring, lightness, scaling,
// compositing and rotation, on grids or the image's buffer in place.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"
#include "imagecore/pixel_engine.h"
#include "imagecore/system_capabilities.h"

#ifdef _WIN32
#include "codecs/win32/cGDIPlus.h"
#include "imagecore/win32/blend_dc.h"
#endif

namespace {

void Release(PixelGrid* grid) {
    if (grid != nullptr) *grid = PixelGrid{};
}

}  // namespace

bool c32bppDIB::pvMirrorSource(int32_t& SrcX, int32_t& SrcY, int32_t srcWidth, int32_t srcHeight,
                               int32_t& destWidth, int32_t& destHeight, PixelGrid& outGrid, c32bppDIB* destHostDIB,
                               float& LightAdjustment) const {
    if (destWidth >= 1 && destHeight >= 1) return false;
    if (Handle() == 0) return false;
    PixelView out;
    if (destHostDIB != nullptr) {
        if (destHostDIB->Handle() == 0) return false;
        out = destHostDIB->Pixels();  // only what fits the host is written
    } else {
        if (!outGrid.Allocate(srcWidth, srcHeight)) return false;
        out = outGrid.View();
    }
    engine::MirrorRectangle(Pixels(), SrcX, SrcY, srcWidth, srcHeight, destWidth < 0, destHeight < 0, out);
    SrcX = SrcY = 0;
    destWidth = std::abs(destWidth);
    destHeight = std::abs(destHeight);
    if (LightAdjustment != 0) {
        engine::AdjustLightness(out, LightAdjustment);
        LightAdjustment = 0;
    }
    return true;
}

bool c32bppDIB::pvAdjustLightness(const c32bppDIB* image, float LightAdjustment, PixelGrid& outGrid) const {
    if (image == nullptr) {
        engine::AdjustLightness(outGrid.View(), LightAdjustment);
        return true;
    }
    if (image->Handle() == 0 || !outGrid.Allocate(image->Width(), image->Height())) return false;
    // The copy starts blank and takes only visible pixels.
    const uint8_t* from = image->BitsPointer();
    uint8_t* to = outGrid.bytes.data();
    for (size_t i = 0, n = image->Pixels().PixelCount(); i < n; ++i, from += 4, to += 4)
        if (from[3] != 0) std::memcpy(to, from, 4);
    engine::AdjustLightness(outGrid.View(), LightAdjustment);
    return true;
}

bool c32bppDIB::pvScaleSource(PixelGrid* sourceGrid, c32bppDIB* destHostDIB, int32_t SrcX, int32_t SrcY,
                              int32_t srcWidth, int32_t srcHeight, int32_t destX, int32_t destY, int32_t& destWidth,
                              int32_t& destHeight, float& LightAdjustment, PixelGrid& outGrid) const {
    if (srcWidth == 0) srcWidth = width_;
    if (srcHeight == 0) srcHeight = height_;
    const PixelView source = sourceGrid != nullptr ? sourceGrid->View() : Pixels();
    // The rectangle must lie in the source.
    if (SrcX < 0 || SrcY < 0 || srcWidth < 1 || srcHeight < 1 || int64_t{SrcX} + srcWidth > source.width ||
        int64_t{SrcY} + srcHeight > source.height)
        return false;

    engine::ScaleGeometry g;
    g.srcX = SrcX;
    g.srcWidth = srcWidth;
    g.rowBase = source.height - srcHeight - SrcY;
    PixelView out;
    if (destHostDIB != nullptr) {
        if (destHostDIB->Handle() == 0) return false;
        out = destHostDIB->Pixels();
        g.rx = static_cast<double>(srcWidth) / out.width;
        g.ry = static_cast<double>(srcHeight) / out.height;
    } else {
        const int64_t fullWidth = std::abs(int64_t{destWidth}), fullHeight = std::abs(int64_t{destHeight});
        int64_t w = fullWidth, h = fullHeight;
        if (destX < 0) w += destX;
        if (destY < 0) h += destY;  // rows cut at the top
        if (w < 1 || h < 1) return false;
        if (destX < 0) g.columnOffset = -destX;  // below the width now: cannot overflow
        g.rx = static_cast<double>(srcWidth) / static_cast<double>(fullWidth);
        g.ry = static_cast<double>(srcHeight) / static_cast<double>(fullHeight);
        if (!outGrid.Allocate(static_cast<int32_t>(w), static_cast<int32_t>(h))) return false;
        out = outGrid.View();
    }

    try {  // the column tables are the only memory the scalers take
        if (highQualityInterpolation_)
            engine::ScaleInterpolated(source, g, out);
        else
            engine::ScaleNearest(source, g, out);
    } catch (const std::bad_alloc&) {
        return false;
    }
    destWidth = out.width;
    destHeight = out.height;
    Release(sourceGrid);
    if (LightAdjustment != 0) {
        engine::AdjustLightness(out, LightAdjustment);
        LightAdjustment = 0;
    }
    return true;
}

bool c32bppDIB::pvBlendToDestination(DrawingDc destinationDC, PixelGrid* sourceGrid, bool scaledGrid, int32_t SrcX,
                                     int32_t SrcY, int32_t destX, int32_t destY, int32_t destWidth,
                                     int32_t destHeight, uint32_t opacityLevel, c32bppDIB* destHostDIB,
                                     int32_t grayScale, float LightAdjustment) const {
    PixelGrid adjusted;
    PixelView source;
    if (sourceGrid != nullptr) {
        source = sourceGrid->View();
    } else if (LightAdjustment != 0) {
        if (!pvAdjustLightness(this, LightAdjustment, adjusted)) return false;
        source = adjusted.View();
    } else {
        source = Pixels();
    }

    int64_t x = destX, y = destY, w = destWidth, h = destHeight, sx = SrcX, sy = SrcY;
    if (sourceGrid != nullptr && scaledGrid) {
        sx = sy = 0;
        x = std::max<int64_t>(x, 0);
        y = std::max<int64_t>(y, 0);
    } else {
        if (x < 0) sx -= x, w += x, x = 0;
        if (y < 0) sy -= y, h += y, y = 0;
    }
    if (destHostDIB != nullptr) {
        if (destHostDIB->Handle() == 0) return false;
        w = std::min<int64_t>(w, destHostDIB->Width());
        h = std::min<int64_t>(h, destHostDIB->Height());
    }
    // Never more than the source holds from its start.
    w = std::min<int64_t>(w, source.width - sx);
    h = std::min<int64_t>(h, source.height - sy);
    if (w < 1 || h < 1 || sx < 0 || sy < 0) return false;

    engine::GreyWeights weights{};
    const engine::GreyWeights* grey = nullptr;
    if (grayScale != -1) {
        const modParsers::GrayScaleWeights table = modParsers::GetGrayScaleWeights(grayScale);
        weights = {table.red, table.green, table.blue};
        grey = &weights;
    }

    bool drawn = true;
    if (destHostDIB != nullptr) {
        const PixelView host = destHostDIB->Pixels();
        // Pixels beyond the host's right and bottom edges are not written.
        const int64_t columns = std::min<int64_t>(w, host.width - x);
        const int64_t rows = std::min<int64_t>(h, host.height - y);
        for (int64_t r = 0; r < rows && columns > 0; ++r)
            engine::CompositeRow(source.PictureRow(static_cast<int32_t>(sy + r)) + sx * 4,
                                 host.PictureRow(static_cast<int32_t>(y + r)) + x * 4, static_cast<int32_t>(columns),
                                 4, opacityLevel, grey);
    } else {
#ifdef _WIN32
        drawn = CompositeOntoDc(destinationDC, static_cast<int32_t>(x), static_cast<int32_t>(y),
                                static_cast<int32_t>(w), static_cast<int32_t>(h), source, static_cast<int32_t>(sx),
                                static_cast<int32_t>(sy), opacityLevel, grey);
#else
        (void)destinationDC;
        drawn = false;
#endif
    }
    Release(sourceGrid);
    return drawn;
}

bool c32bppDIB::pvRenderRotated(DrawingDc destinationDC, float Angle, int32_t destX, int32_t destY,
                                int32_t destWidth, int32_t destHeight, int32_t SrcX, int32_t SrcY, int32_t srcWidth,
                                int32_t srcHeight, int32_t opacityPercent, c32bppDIB* destHostDIB, int32_t grayScale,
                                float LightAdjustment) const {
#ifdef _WIN32
    if (isGDIplusEnabled()) {
        HDC target = destHostDIB ? destHostDIB->LoadDIBinDC(true) : destinationDC;
        const bool drawn = cGDIPlus().DrawThroughGDIplus(*this, target, Angle, opacityPercent, destX, destY, destWidth,
                                                         destHeight, SrcX, SrcY, srcWidth, srcHeight,
                                                         highQualityInterpolation_, grayScale, gdiToken_,
                                                         LightAdjustment);
        if (destHostDIB) destHostDIB->LoadDIBinDC(false);
        if (drawn) return true;
    }
#endif
    int64_t x = destX, y = destY;
    if (destWidth < 0) x += destWidth;  // from the other corner
    if (destHeight < 0) y += destHeight;

    PixelGrid copy;
    const bool mirrored = destWidth < 0 || destHeight < 0;
    if (mirrored &&
        !pvMirrorSource(SrcX, SrcY, srcWidth, srcHeight, destWidth, destHeight, copy, nullptr, LightAdjustment))
        return false;
    if (!mirrored && LightAdjustment != 0 && !pvAdjustLightness(this, LightAdjustment, copy)) return false;
    const PixelView source = copy.Empty() ? Pixels() : copy.View();

    const double xs = static_cast<double>(destWidth) / srcWidth;
    const double ys = static_cast<double>(destHeight) / srcHeight;
    const double degrees = std::fmod(std::nearbyint(static_cast<double>(Angle)), 360.0);
    const double theta = -(4 * std::atan(1.0) * degrees) / 180;
    engine::RotationGeometry g;
    g.cX = std::cos(theta) / xs;
    g.sX = std::sin(theta) / xs;
    g.cY = std::cos(theta) / ys;
    g.sY = std::sin(theta) / ys;

    const double diagonal = std::nearbyint(
        std::sqrt(static_cast<double>(destWidth) * destWidth + static_cast<double>(destHeight) * destHeight));
    if (!(diagonal >= 1 && diagonal <= 46340)) return false;  // beyond 2^31 bytes
    const auto side = static_cast<int32_t>(diagonal);

    // Without GDI+ here the intermediate need not probe for it.
    c32bppDIB intermediate(isGDIplusEnabled() ? capabilities_ : capabilities_ | capability::kGdiplusNever);
    intermediate.SetHighQualityInterpolation(highQualityInterpolation_);
    intermediate.SetGdiToken(gdiToken_);
    if (!intermediate.InitializeDIB(side, side)) return false;

    g.srcX = SrcX;
    g.srcWidth = srcWidth;
    g.srcHeight = srcHeight;
    g.rowBase = source.height - srcHeight - SrcY;
    engine::RotateInto(source, g, highQualityInterpolation_, intermediate.Pixels());

    const int64_t left = x + destWidth / 2 - side / 2;
    const int64_t top = y + destHeight / 2 - side / 2;
    if (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX) return false;
    return intermediate.Render(destinationDC, static_cast<int32_t>(left), static_cast<int32_t>(top), 0, 0, 0, 0, 0, 0,
                               opacityPercent, true, destHostDIB == nullptr, destHostDIB, grayScale, 0, 0, false);
}
