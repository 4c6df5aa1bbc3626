// Where and how large the picture is drawn, the pre-rendered picture and
// shadow, and painting.
#include <algorithm>
#include <cmath>
#include <limits>

#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/system_color.h"

namespace {

// Nearest integer, ties to even, held inside 32 bits.
int32_t nint(double value) {
    if (!(value == value)) return 0;
    value = std::nearbyint(value);
    if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// (a - b) \ 2 for centring; a negative result becomes 0 when asked.
int32_t HalfDifference(double a, double b, bool clampAtZero) {
    const int32_t half = nint(a - b) / 2;
    return clampAtZero && half < 0 ? 0 : half;
}

bool FitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

}  // namespace

void aicAlphaImage::Refresh() {
    pvReadContainerScaleMode();
    site_.Refresh();
}

void aicAlphaImage::pvReadContainerScaleMode() {
    int32_t mode = 0;
    containerScaleMode_ = site_.ParentScaleMode(mode) ? mode : vbContainerPosition;
}

void aicAlphaImage::GetImageScales(int32_t& Width, int32_t& Height, int32_t ScaleMethod, int32_t desiredWidth,
                                   int32_t desiredHeight, bool asRotatedImage) const {
    if (image_->Handle() == 0) return;
    if (ScaleMethod < 0) ScaleMethod = std::clamp(scaleMethod_, 0, 4);
    if (ScaleMethod > 4) ScaleMethod = 4;
    if (ScaleMethod == 4) {
        Width = scaledWidth_;
        Height = scaledHeight_;
        return;
    }
    if (desiredWidth < 1) desiredWidth = nint(site_.ScaleWidth());
    if (desiredHeight < 1) desiredHeight = nint(site_.ScaleHeight());
    const int32_t W = image_->Width(), H = image_->Height();

    if (ScaleMethod == 3) {
        Width = nint(W * deviceScale_);
        Height = nint(H * deviceScale_);
        return;
    }
    if (!asRotatedImage) {
        if (ScaleMethod == 1) {
            Width = desiredWidth;
            Height = desiredHeight;
            return;
        }
        const auto sx = static_cast<float>(static_cast<double>(desiredWidth) / W);
        const auto sy = static_cast<float>(static_cast<double>(desiredHeight) / H);
        float s = sy < sx ? sy : sx;
        const auto actual = static_cast<float>(deviceScale_);
        if (ScaleMethod == 2 && s > actual) s = actual;
        Width = nint(static_cast<double>(s) * W);
        Height = nint(static_cast<double>(s) * H);
        return;
    }
    const int32_t D = nint(std::sqrt(static_cast<double>(H) * H + static_cast<double>(W) * W));
    const auto rx = static_cast<float>(static_cast<double>(W) / D);
    const auto ry = static_cast<float>(static_cast<double>(H) / D);
    if (ScaleMethod == 1) {
        Width = nint(static_cast<double>(desiredWidth) * rx);
        Height = nint(static_cast<double>(desiredHeight) * ry);
        return;
    }
    const int32_t m = std::min(desiredWidth, desiredHeight);
    Width = nint(static_cast<double>(rx) * m);
    Height = nint(static_cast<double>(ry) * m);
    if (ScaleMethod == 2 && (W < Width || H < Height)) {
        Width = W;
        Height = H;
    }
}

void aicAlphaImage::Resize() {
    if (resizing_) return;  // the resize this control asked for
    const double scaleWidth = site_.ScaleWidth(), scaleHeight = site_.ScaleHeight();
    if (image_->Handle() == 0 && !site_.UserMode() && image_->InitializeDIB(nint(scaleWidth), nint(scaleHeight)))
        image_->CreateCheckerBoard(12, 0xFFFFFF, 0xC0C0C0);

    GetImageScales(scaledWidth_, scaledHeight_, scaleMethod_, nint(scaleWidth), nint(scaleHeight), RotateEnabled());
    if (RotateEnabled()) {
        rotatedExtent_ = nint(std::sqrt(static_cast<double>(scaledWidth_) * scaledWidth_ +
                                        static_cast<double>(scaledHeight_) * scaledHeight_));
        if (scaleMethod_ >= 4) {
            imageLeft_ = HalfDifference(scaleWidth, scaledWidth_, true);
            imageTop_ = HalfDifference(scaleHeight, scaledHeight_, true);
        } else {
            imageLeft_ = HalfDifference(scaleWidth, rotatedExtent_, false);
            imageTop_ = HalfDifference(scaleHeight, rotatedExtent_, false);
        }
        actualSizeDraw_ = false;
    } else {
        imageLeft_ = HalfDifference(scaleWidth, scaledWidth_, true);
        imageTop_ = HalfDifference(scaleHeight, scaledHeight_, true);
        actualSizeDraw_ = scaledHeight_ == image_->Height() && scaledWidth_ == image_->Width();
    }

    if (AutoSize()) {
        const int32_t wantedWidth = RotateEnabled() ? rotatedExtent_ : scaledWidth_;
        const int32_t wantedHeight = RotateEnabled() ? rotatedExtent_ : scaledHeight_;
        // A flag rather than a negated width: a width of 0 has no sign.
        resizing_ = true;
        imageLeft_ = imageTop_ = 0;
        site_.Size(site_.ScaleX(wantedWidth, vbPixels, vbTwips), site_.ScaleY(wantedHeight, vbPixels, vbTwips));
        resizing_ = false;
    }
    if (!pvRenderBuffer(true, true)) pvUpdateHitArea();
}

void aicAlphaImage::pvResizeAndRefresh() {
    const int32_t width = nint(site_.ScaleWidth()), height = nint(site_.ScaleHeight());
    Resize();
    if (width == nint(site_.ScaleWidth()) && height == nint(site_.ScaleHeight())) Refresh();
}

bool aicAlphaImage::pvRenderBuffer(bool recreate, bool updateHitArea) {
    if (Flag(kBufferInUse)) {
        const int32_t width = nint(site_.ScaleWidth()), height = nint(site_.ScaleHeight());
        if (recreate || !bufferImage_) {
            if (!bufferImage_) {
                bufferImage_ = pvNewImage();
#ifdef _WIN32
                bufferImage_->SetManageOwnDC(true);
#endif
            }
            if (scaledWidth_ == 0) return false;
            if (bufferImage_->Handle() != 0 && bufferImage_->Width() == width && bufferImage_->Height() == height)
                bufferImage_->EraseDIB();
            else
                bufferImage_->InitializeDIB(width, height);
        } else {
            bufferImage_->EraseDIB();
        }
        c32bppDIB::DrawingDc dc = nullptr;
#ifdef _WIN32
        dc = bufferImage_->LoadDIBinDC(true);
        if (dc != nullptr) {
#else
        {
#endif
            if (RotateEnabled()) {
                bufferImage_->SetAlpha(true);
                image_->Render(dc, bufferImage_->Width() / 2, bufferImage_->Height() / 2, scaledWidth_, scaledHeight_,
                               0, 0, 0, 0, 100, true, true, bufferImage_.get(), -1, 0, static_cast<float>(rotation_),
                               true);
            } else {
                // Where the picture leaves part of the buffer empty, that part
                // is transparent, whatever the picture's own alpha.
                const bool covers = imageLeft_ <= 0 && imageTop_ <= 0 && imageLeft_ + scaledWidth_ >= width &&
                                    imageTop_ + scaledHeight_ >= height;
                bufferImage_->SetAlpha(image_->Alpha() || !covers);
                image_->Render(dc, imageLeft_, imageTop_, scaledWidth_, scaledHeight_, 0, 0, 0, 0, 100, true, false,
                               bufferImage_.get(), -1, 0, 0, false);
            }
            if (updateHitArea) pvUpdateHitArea();
            if (ShadowEnabled() && !makingHitBuffer_) pvUpdateShadow();
            return true;
        }
    }
    if (ShadowEnabled() && !makingHitBuffer_) pvUpdateShadow();
    return false;
}

void aicAlphaImage::pvUpdateShadow() {
    if (!ShadowEnabled()) {
        shadowImage_.reset();
        return;
    }
    bool wanted = true;
    if (actualSizeDraw_ && !RotateEnabled()) wanted = image_->Width() > 128 || image_->Height() > 128;
    if (!wanted) {
        shadowImage_.reset();
        return;
    }
    const uint32_t colour = TranslateOleColor(shadowColor_);
    if (bufferImage_) {
        shadowImage_ = bufferImage_->CreateDropShadow(shadowDepth_, static_cast<int32_t>(colour));
    } else {
        std::unique_ptr<c32bppDIB> source;
        if (RotateEnabled()) {
            image_->CopyImageTo(source, scaledWidth_, scaledHeight_, false);
        } else {
            source = pvNewImage();
            if (source->InitializeDIB(scaledWidth_, scaledHeight_))
                image_->Render(nullptr, 0, 0, scaledWidth_, scaledHeight_, 0, 0, 0, 0, 100, true, true, source.get(),
                               -1, 0, 0, false);
        }
        shadowImage_ = source ? source->CreateDropShadow(shadowDepth_, static_cast<int32_t>(colour)) : nullptr;
    }
    if (shadowImage_) shadowImage_->SetGdiToken(image_->gdiToken());
}

void aicAlphaImage::Paint(const PaintSurface& surface, const PixelRect& clipBox) {
    if (resizing_) return;
    const int32_t extentX = RotateEnabled() ? rotatedExtent_ : scaledWidth_;
    const int32_t extentY = RotateEnabled() ? rotatedExtent_ : scaledHeight_;
    const int64_t right = static_cast<int64_t>(imageLeft_) + extentX;
    const int64_t bottom = static_cast<int64_t>(imageTop_) + extentY;
    if (!FitsInt32(right) || !FitsInt32(bottom)) return;
    PixelRect paint{std::max(clipBox.left, imageLeft_), std::max(clipBox.top, imageTop_),
                    std::min<int32_t>(clipBox.right, static_cast<int32_t>(right)),
                    std::min<int32_t>(clipBox.bottom, static_cast<int32_t>(bottom))};
    if (paint.IsEmpty()) return;
    if (ShadowEnabled()) pvPaintShadow(surface);
    pvPaintPicture(surface, paint);
}

void aicAlphaImage::pvPaintShadow(const PaintSurface& surface) {
    const int32_t opacity = static_cast<int32_t>(static_cast<int64_t>(shadowOpacity_) * opacity_ / 100);
    const double scaleWidth = site_.ScaleWidth(), scaleHeight = site_.ScaleHeight();
    const auto colour = static_cast<int32_t>(TranslateOleColor(shadowColor_));
    if (!shadowImage_) {
        const int64_t x = pvScaledOffset(shadowOffsetX_) + HalfDifference(scaleWidth, image_->Width(), false);
        const int64_t y = pvScaledOffset(shadowOffsetY_) + HalfDifference(scaleHeight, image_->Height(), false);
        if (!FitsInt32(x) || !FitsInt32(y)) return;
        if (surface.hostImage == nullptr) {
            image_->RenderDropShadow_JIT(surface.dc, static_cast<int32_t>(x), static_cast<int32_t>(y), shadowDepth_,
                                         colour, opacity);
        } else if (auto shadow = image_->CreateDropShadow(shadowDepth_, colour)) {
            shadow->Render(nullptr, static_cast<int32_t>(x), static_cast<int32_t>(y), 0, 0, 0, 0, 0, 0, opacity, true,
                           true, surface.hostImage, -1, 0, 0, false);
        }
        return;
    }
    if (RotateEnabled()) {
        const int64_t x = pvScaledOffset(shadowOffsetX_) + nint(scaleWidth) / 2;
        const int64_t y = pvScaledOffset(shadowOffsetY_) + nint(scaleHeight) / 2;
        if (!FitsInt32(x) || !FitsInt32(y)) return;
        shadowImage_->Render(surface.dc, static_cast<int32_t>(x), static_cast<int32_t>(y), scaledWidth_,
                             scaledHeight_, 0, 0, 0, 0, opacity, true, true, surface.hostImage, grayFormula_, 0,
                             static_cast<float>(rotation_), true);
        return;
    }
    const int64_t x = pvScaledOffset(shadowOffsetX_) + HalfDifference(scaleWidth, shadowImage_->Width(), false);
    const int64_t y = pvScaledOffset(shadowOffsetY_) + HalfDifference(scaleHeight, shadowImage_->Height(), false);
    if (!FitsInt32(x) || !FitsInt32(y)) return;
    shadowImage_->Render(surface.dc, static_cast<int32_t>(x), static_cast<int32_t>(y), 0, 0, 0, 0, 0, 0, opacity, true,
                         false, surface.hostImage, -1, 0, 0, false);
}

int64_t aicAlphaImage::pvScaledOffset(int32_t offset) const {
    return static_cast<int64_t>(std::llround(offset * deviceScale_));
}

void aicAlphaImage::pvPaintPicture(const PaintSurface& surface, const PixelRect& paint) {
    const int32_t w = paint.right - paint.left, h = paint.bottom - paint.top;
    const int64_t px = static_cast<int64_t>(paint.left) + userOffsetX_;
    const int64_t py = static_cast<int64_t>(paint.top) + userOffsetY_;
    if (!FitsInt32(px) || !FitsInt32(py)) return;
    const auto x = static_cast<int32_t>(px), y = static_cast<int32_t>(py);
    if (bufferImage_) {
        bufferImage_->Render(surface.dc, x, y, w, h, paint.left, paint.top, w, h, opacity_, true, true,
                             surface.hostImage, grayFormula_, lightAdjustment_, 0, false);
    } else if (RotateEnabled()) {
        const int64_t cx = static_cast<int64_t>(userOffsetX_) + nint(site_.ScaleWidth()) / 2;
        const int64_t cy = static_cast<int64_t>(userOffsetY_) + nint(site_.ScaleHeight()) / 2;
        if (!FitsInt32(cx) || !FitsInt32(cy)) return;
        image_->Render(surface.dc, static_cast<int32_t>(cx), static_cast<int32_t>(cy), scaledWidth_, scaledHeight_, 0,
                       0, 0, 0, opacity_, true, true, surface.hostImage, grayFormula_, lightAdjustment_,
                       static_cast<float>(rotation_), true);
    } else if (actualSizeDraw_) {
        image_->Render(surface.dc, x, y, w, h, paint.left - imageLeft_, paint.top - imageTop_, w, h, opacity_, true,
                       true, surface.hostImage, grayFormula_, lightAdjustment_, 0, false);
    } else {
        const int64_t left = static_cast<int64_t>(imageLeft_) + userOffsetX_;
        const int64_t top = static_cast<int64_t>(imageTop_) + userOffsetY_;
        if (!FitsInt32(left) || !FitsInt32(top)) return;
        image_->Render(surface.dc, static_cast<int32_t>(left), static_cast<int32_t>(top), scaledWidth_, scaledHeight_,
                       0, 0, 0, 0, opacity_, true, true, surface.hostImage, grayFormula_, lightAdjustment_, 0, false);
    }
}

bool aicAlphaImage::OffsetImage(bool SetOffsets, int32_t& x, int32_t& y, int32_t& ShadowX, int32_t& ShadowY) {
    if (!SetOffsets) {
        x = userOffsetX_;
        y = userOffsetY_;
        ShadowX = shadowOffsetX_;
        ShadowY = shadowOffsetY_;
        return true;
    }
    // The hit area moves so that its corner lands at (x, y); a move that would
    // take it outside 32-bit positions fails and changes nothing.
    const PixelRect box = hasHitRegion_ ? pvHitRegionBox() : hitRect_;
    const int64_t dx = static_cast<int64_t>(x) - box.left, dy = static_cast<int64_t>(y) - box.top;
    if (!FitsInt32(dx) || !FitsInt32(dy) || !FitsInt32(box.right + dx) || !FitsInt32(box.bottom + dy)) return false;
    userOffsetX_ = x;
    userOffsetY_ = y;
    if (ShadowX != 0) shadowOffsetX_ = ShadowX;
    if (ShadowY != 0) shadowOffsetY_ = ShadowY;
    pvMoveHitArea(static_cast<int32_t>(dx), static_cast<int32_t>(dy));
    site_.Refresh();
    return true;
}

void aicAlphaImage::OffsetShadow(int32_t x, int32_t y) {
    shadowOffsetX_ = x;
    shadowOffsetY_ = y;
    if (ShadowEnabled()) site_.Refresh();
}
