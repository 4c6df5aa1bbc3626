// Effects built on the drawing engine: mirroring in place, copies at
// another size, and drawing a drop shadow.
#include <cstdlib>
#include <cstring>

#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"

#ifdef _WIN32
#include "codecs/win32/cGDIPlus.h"
#endif

using namespace capability;

bool c32bppDIB::MirrorImage(bool MirrorAxisX, bool MirrorAxisY) {
    if (Handle() == 0 || (!MirrorAxisX && !MirrorAxisY)) return false;
    int32_t srcX = 0, srcY = 0;
    int32_t destWidth = MirrorAxisX ? -width_ : width_;
    int32_t destHeight = MirrorAxisY ? -height_ : height_;
    float lightAdjustment = 0;
    PixelGrid mirrored;
    if (!pvMirrorSource(srcX, srcY, width_, height_, destWidth, destHeight, mirrored, nullptr, lightAdjustment))
        return false;
    std::memcpy(BitsPointer(), mirrored.bytes.data(), mirrored.bytes.size());
    return true;
}

bool c32bppDIB::RenderDropShadow_JIT(DrawingDc hDC, int32_t x, int32_t y, int32_t blurDepth, int32_t Color,
                                     int32_t Opacity) const {
    std::unique_ptr<c32bppDIB> shadow = CreateDropShadow(blurDepth, Color);
    if (!shadow) return false;
    return shadow->Render(hDC, x, y, 0, 0, 0, 0, 0, 0, Opacity, true, true, nullptr, -1, 0, 0, false);
}

void c32bppDIB::CopyImageTo(std::unique_ptr<c32bppDIB>& cDIBclass, int32_t newWidth, int32_t newHeight,
                            bool CopyOriginalFormat) {
    if (Handle() == 0) return;
    if (newWidth == 0) newWidth = width_;
    if (newHeight == 0) newHeight = height_;
    if (newWidth == INT32_MIN || newHeight == INT32_MIN) return;
    const int32_t targetWidth = std::abs(newWidth), targetHeight = std::abs(newHeight);

    if (!cDIBclass) {
        // A copy without GDI+ here need not probe for it.
        cDIBclass = std::make_unique<c32bppDIB>(isGDIplusEnabled() ? capabilities_ : capabilities_ | kGdiplusNever);
        cDIBclass->SetHighQualityInterpolation(highQualityInterpolation_);
        cDIBclass->SetGdiToken(gdiToken_);
        if (!cDIBclass->InitializeDIB(targetWidth, targetHeight)) return;
    } else {
        cDIBclass->SetGdiToken(gdiToken_);
        if ((cDIBclass->Width() != targetWidth || cDIBclass->Height() != targetHeight) &&
            !cDIBclass->InitializeDIB(targetWidth, targetHeight))
            return;
    }
    c32bppDIB& target = *cDIBclass;
    target.SetAlpha(alpha_);
    target.SetImageType(imageType_);

    if (newWidth == width_ && newHeight == height_) {
        std::memcpy(target.BitsPointer(), BitsPointer(), static_cast<size_t>(scanWidth()) * height_);
    } else {
        // Older systems blend plain drawing poorly: not for the copy.
        const uint32_t savedCapabilities = capabilities_;
        if ((capabilities_ & kAlphaBlendForPlainDrawing) && (capabilities_ & kWin9xFamily))
            capabilities_ &= ~kAlphaBlendForPlainDrawing;
        const bool ownScaling = !isAlphaBlendFriendly() || highQualityInterpolation_;
        float lightAdjustment = 0;
        bool drawnByGdiplus = false;
#ifdef _WIN32
        if (ownScaling && isGDIplusEnabled()) {
            HDC targetDc = target.LoadDIBinDC(true);
            drawnByGdiplus = cGDIPlus().DrawThroughGDIplus(*this, targetDc, 0, 100, 0, 0, newWidth, newHeight, 0, 0,
                                                           width_, height_, true, -1, gdiToken_, 0);
            target.LoadDIBinDC(false);
        }
#endif
        if (drawnByGdiplus) {
        } else if (newWidth < 0 || newHeight < 0) {
            // The mirrored whole image, scaled to the target when the sizes differ.
            int32_t srcX = 0, srcY = 0, destWidth = newWidth, destHeight = newHeight;
            if (targetWidth == width_ && targetHeight == height_) {
                PixelGrid unused;
                pvMirrorSource(srcX, srcY, width_, height_, destWidth, destHeight, unused, &target,
                               lightAdjustment);
            } else {
                PixelGrid mirrored, unused;
                if (pvMirrorSource(srcX, srcY, width_, height_, destWidth, destHeight, mirrored, nullptr,
                                   lightAdjustment))
                    pvScaleSource(&mirrored, &target, 0, 0, width_, height_, 0, 0, destWidth, destHeight,
                                  lightAdjustment, unused);
            }
        } else if (ownScaling) {
            PixelGrid unused;
            int32_t destWidth = newWidth, destHeight = newHeight;
            pvScaleSource(nullptr, &target, 0, 0, width_, height_, 0, 0, destWidth, destHeight, lightAdjustment,
                          unused);
        } else {
            Render(nullptr, 0, 0, newWidth, newHeight, 0, 0, 0, 0, 100, true, false, &target, -1, 0, 0, false);
        }
        capabilities_ = savedCapabilities;
    }
    if (CopyOriginalFormat) target.SetOriginalFormat(originalFormat_);
}
