// The control's properties: what each setter accepts and what it redoes.
#include "imagecontrol/aicAlphaImage.h"

#include <cstdlib>

#include "imagecontrol/live_controls.h"
#include "imagecontrol/system_color.h"

aicAlphaImage::aicAlphaImage(ControlSite& site)
    : site_(site), system_(SystemUserInterface()), image_(std::make_unique<c32bppDIB>()) {
    live_controls::Add(*this);
}

aicAlphaImage::aicAlphaImage(ControlSite& site, uint32_t imageCapabilityBits, UserInterfaceSystem& system)
    : site_(site), system_(system), image_(std::make_unique<c32bppDIB>(imageCapabilityBits)) {
    live_controls::Add(*this);
}

aicAlphaImage::~aicAlphaImage() {
    // Its timers stop with it; a tick already queued finds no live control.
    pvStopFade();
    if (hostWindow_ != 0) system_.KillTimer(hostWindow_, Identity());
    pvDisconnectCrossComm();
    live_controls::Remove(*this);
    *alive_ = false;
}

std::unique_ptr<c32bppDIB> aicAlphaImage::pvNewImage() const {
    auto made = std::make_unique<c32bppDIB>(image_->CapabilityBits());
    made->SetGdiToken(image_->gdiToken());
    made->SetHighQualityInterpolation(image_->HighQualityInterpolation());
    return made;
}

void aicAlphaImage::SetScaleMethod(int32_t Method) {
    if (Method == scaleMethod_) return;
    scaleMethod_ = Method;
    pvResizeAndRefresh();
    site_.PropertyChanged("ScaleMethod");
}

void aicAlphaImage::SetStretchQuality(bool highQuality) {
    if (highQuality == StretchQuality()) return;
    ToggleFlag(kStretchQuality);
    image_->SetHighQualityInterpolation(highQuality);
    Refresh();
    site_.PropertyChanged("StretchQuality");
}

void aicAlphaImage::SetAutoSize(bool Value) {
    if (Value == AutoSize()) return;
    ToggleFlag(kAutoSize);
    pvResizeAndRefresh();
    site_.PropertyChanged("AutoSize");
}

void aicAlphaImage::SetAutoRedraw(bool Enable) {
    if (Enable == AutoRedraw()) return;
    ToggleFlag(kAutoRedraw);
    if (site_.UserMode()) {
        if (Enable) {
            propsFlags_ |= kBufferInUse;
        } else {
            propsFlags_ &= ~kBufferInUse;
            bufferImage_.reset();
        }
    }
    site_.PropertyChanged("AutoRedraw");
}

void aicAlphaImage::SetKeepOriginalFormat(bool Keep) {
    if (Keep == KeepOriginalFormat()) return;
    ToggleFlag(kKeepOriginalFormat);
    site_.PropertyChanged("KeepOriginalFormat");
}

void aicAlphaImage::SetInversedImage(bool Inverse) {
    if (Inverse == InversedImage()) return;
    ToggleFlag(kInversedImage);
    image_->MakeImageInverse();
    site_.PropertyChanged("InversedImage");
    pvRenderBuffer(false, false);
    Refresh();
}

void aicAlphaImage::SetRotateEnabled(bool canRotate) {
    if (canRotate == RotateEnabled()) return;
    ToggleFlag(kRotateEnabled);
    pvResizeAndRefresh();
    site_.PropertyChanged("RotateEnabled");
}

void aicAlphaImage::SetRotation(int32_t newAngle) {
    newAngle %= 360;  // the sign stays: -90 is kept, 450 becomes 90
    if (newAngle == rotation_) return;
    rotation_ = newAngle;
    if (RotateEnabled()) {
        if (!pvRenderBuffer(false, true)) pvUpdateHitArea();
        if (ShadowEnabled()) pvUpdateShadow();
    }
    Refresh();
    site_.PropertyChanged("Rotation");
}

void aicAlphaImage::SetOpacity(int32_t Opaqueness) {
    if (Opaqueness != 0) {
        Opaqueness = static_cast<int32_t>(std::llabs(static_cast<int64_t>(Opaqueness)) % 100);
        if (Opaqueness == 0) Opaqueness = 100;
    }
    opacity_ = Opaqueness;
    site_.PropertyChanged("Opacity");
    Refresh();
}

void aicAlphaImage::SetMirror(int32_t MirrorType) {
    if (MirrorType < 0 || MirrorType > 3 || MirrorType == mirror_) return;
    pvApplyMirror(MirrorType);
    mirror_ = MirrorType;
    pvAfterPixelsChanged();
    site_.PropertyChanged("Mirror");
}

void aicAlphaImage::SetgrayScale(int32_t Style) {
    if (Style < 0 || Style > 8 || Style - 1 == grayFormula_) return;
    grayFormula_ = Style - 1;
    Refresh();
    site_.PropertyChanged("GrayScale");
}

void aicAlphaImage::SetIntensityOffset(float Adjustment) {
    if (!(Adjustment >= -100 && Adjustment <= 100) || Adjustment == lightAdjustment_) return;
    lightAdjustment_ = Adjustment;
    site_.PropertyChanged("Intensity");
    Refresh();
}

void aicAlphaImage::SetHitTest(int32_t Style) {
    if (Style < 0 || Style > 3 || Style == hitTestStyle_) return;
    hitTestStyle_ = Style;
    pvUpdateHitArea();
    site_.PropertyChanged("HitTest");
}

uint32_t aicAlphaImage::pvCornerColor(int32_t source) const {
    const int32_t right = image_->Width() - 1, bottom = image_->Height() - 1;
    const int32_t x = (source == 3 || source == 5) ? right : 0;
    const int32_t y = source >= 4 ? bottom : 0;
    int32_t alpha = 0;
    return static_cast<uint32_t>(image_->GetPixel(x, y, &alpha, false));
}

void aicAlphaImage::SetMaskUsed(int32_t Style) {
    if (image_->Alpha() && !maskApplied_) return;
    if (Style < 0 || Style > 5 || Style == maskSource_ || image_->ImageType() == imgCheckerBoard) return;
    if (maskApplied_) pvRemoveMask();
    if (Style == 0) {
        maskApplied_ = false;
    } else {
        uint32_t clear = 0;
        if (Style == 1) {
            appliedMaskColor_ = maskColor_;
            clear = TranslateOleColor(appliedMaskColor_);
            if (InversedImage()) clear ^= 0xFFFFFF;
        } else {
            // The corner is read from the pixels as shown (inverted or not);
            // the applied colour is kept in un-inverted terms.
            appliedMaskColor_ = pvCornerColor(Style);
            clear = TranslateOleColor(appliedMaskColor_);
            if (InversedImage()) appliedMaskColor_ ^= 0xFFFFFF;
        }
        maskApplied_ = true;
        image_->MakeTransparent(static_cast<int32_t>(clear), false);
    }
    pvAfterPixelsChanged();
    maskSource_ = Style;
    site_.PropertyChanged("MaskUsed");
}

void aicAlphaImage::SetMaskColor(uint32_t Color) {
    if (maskApplied_ && maskSource_ == 1) {
        pvRemoveMask();
        uint32_t clear = TranslateOleColor(Color);
        if (InversedImage()) clear ^= 0xFFFFFF;
        image_->MakeTransparent(static_cast<int32_t>(clear), false);
        appliedMaskColor_ = Color;
        pvAfterPixelsChanged();
    }
    maskColor_ = Color;
    site_.PropertyChanged("MaskColor");
}

void aicAlphaImage::SetShadowEnabled(bool Enable) {
    if (Enable == ShadowEnabled()) return;
    ToggleFlag(kShadowEnabled);
    pvUpdateShadow();
    site_.PropertyChanged("ShadowEnabled");
    Refresh();
}

void aicAlphaImage::SetShadowColor(uint32_t Color) {
    if (Color == shadowColor_) return;
    shadowColor_ = Color;
    pvUpdateShadow();
    site_.PropertyChanged("ShadowColor");
    Refresh();
}

// Forms store the offsets in 16 bits: a wider one would come back as another.
constexpr int32_t kShadowOffsetLimit = 32767;

void aicAlphaImage::SetShadowOffsetX(int32_t Offset) {
    if (Offset < -kShadowOffsetLimit - 1 || Offset > kShadowOffsetLimit || Offset == shadowOffsetX_) return;
    shadowOffsetX_ = Offset;
    if (ShadowEnabled()) Refresh();
    site_.PropertyChanged("ShadowOffsetX");
}

void aicAlphaImage::SetShadowOffsetY(int32_t Offset) {
    if (Offset < -kShadowOffsetLimit - 1 || Offset > kShadowOffsetLimit || Offset == shadowOffsetY_) return;
    shadowOffsetY_ = Offset;
    if (ShadowEnabled()) Refresh();
    site_.PropertyChanged("ShadowOffsetY");
}

void aicAlphaImage::SetShadowDepth(int32_t Depth) {
    if (Depth < 0 || Depth > 10 || Depth == shadowDepth_) return;
    shadowDepth_ = Depth;
    pvUpdateShadow();
    site_.PropertyChanged("ShadowDepth");
    Refresh();
}

void aicAlphaImage::SetShadowOpacity(int32_t Opaqueness) {
    if (Opaqueness < 0 || Opaqueness > 100 || Opaqueness == shadowOpacity_) return;
    shadowOpacity_ = Opaqueness;
    if (ShadowEnabled()) Refresh();
    site_.PropertyChanged("ShadowOpacity");
}

void aicAlphaImage::SetDeviceScale(double scale) {
    if (!(scale >= 0.25 && scale <= 8) || scale == deviceScale_) return;
    deviceScale_ = scale;
    pvResizeAndRefresh();
}

void aicAlphaImage::SetEnabled(bool Enable) {
    if (Enable != site_.Enabled()) {
        site_.SetEnabled(Enable);
        if (site_.UserMode()) {
            if (Enable) {
                if (crossComm_) crossComm_->AddRef(Identity());
            } else {
                pvStopMouseTimer();
                if (crossComm_) crossComm_->RemoveRef(Identity());
            }
            pvUpdateHitArea();
        }
    }
    site_.PropertyChanged("Enabled");
}

void aicAlphaImage::SetMousePointer(int32_t Pointer) {
    site_.SetMousePointer(static_cast<int16_t>(Pointer));
    site_.PropertyChanged("MousePointer");
}

void aicAlphaImage::SetMouseIcon(const Bytes& Icon) {
    site_.SetMouseIcon(Icon);
    site_.PropertyChanged("MouseIcon");
}

void aicAlphaImage::SetOLEDropMode(int32_t Value) {
    site_.SetOLEDropMode(static_cast<int16_t>(Value));
    site_.PropertyChanged("OLEDropMode");
}

void aicAlphaImage::pvMirrorPixels(int32_t difference) {
    if (difference != 0) image_->MirrorImage((difference & 1) != 0, (difference & 2) != 0);
}

void aicAlphaImage::pvApplyMirror(int32_t target) { pvMirrorPixels(target ^ mirror_); }

void aicAlphaImage::pvRemoveMask() {
    uint32_t colour = TranslateOleColor(appliedMaskColor_);
    if (InversedImage()) colour ^= 0xFFFFFF;
    // Colour is 0x00BBGGRR; the pixel is blue, green, red, alpha in memory.
    const uint8_t pixel[4] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                              static_cast<uint8_t>(colour), 255};
    Bytes bits;
    if (!image_->GetDIBbits(bits, false, true, true, false, true, 0, 0, 0, 0, true)) return;
    for (size_t i = 0; i + 3 < bits.size(); i += 4)
        if (bits[i + 3] == 0) std::copy(pixel, pixel + 4, bits.begin() + static_cast<ptrdiff_t>(i));
    image_->SetDIBbits(bits, true, true, false, true, 0, 0, 0, 0);
}

void aicAlphaImage::pvAfterPixelsChanged() {
    if (!pvRenderBuffer(false, true)) pvUpdateHitArea();
    if (ShadowEnabled()) pvUpdateShadow();
    Refresh();
}
