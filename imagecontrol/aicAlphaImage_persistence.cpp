// A new control's settings, and saving and restoring the whole state, the
// image bytes included, through the site's property store.
#include <algorithm>
#include <cmath>
#include <limits>

#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/system_color.h"

namespace {

constexpr uint32_t kMaskSystemColour = 0x8000000F;  // button face
constexpr uint32_t kDarkGrey = 0x404040;
constexpr uint32_t kStoredPropsBits = 0x1FF;
// A fixed drawn size is kept as stored (a form designed at a higher DPI holds
// more pixels than the control has at load); only a size beyond any the
// control could draw is limited, so that a damaged form cannot allocate a
// buffer of gigabytes.
constexpr int32_t kFixedSizeFactor = 16;
constexpr int32_t kFixedSizeLimit = 16384;
constexpr int64_t kInt16Min = std::numeric_limits<int16_t>::min(), kInt16Max = std::numeric_limits<int16_t>::max();
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min(), kInt32Max = std::numeric_limits<int32_t>::max();

// Stored values are taken when they are of the right kind and inside the
// range the property's setter accepts; anything else reads as the default,
// so that a damaged form cannot make the control draw or allocate beyond
// its size and image.
class StoredValues {
public:
    explicit StoredValues(const ControlSite& site) : site_(site) {}

    int32_t Int(const char* key, int32_t defaultValue, int64_t low = kInt32Min, int64_t high = kInt32Max) const {
        const PropertyValue* value = site_.ReadProperty(key);
        const auto* i = value ? std::get_if<int64_t>(value) : nullptr;
        return i && *i >= low && *i <= high ? static_cast<int32_t>(*i) : defaultValue;
    }
    // OLE colours are unsigned; a form may also hold them as signed 32 bits.
    uint32_t Colour(const char* key, uint32_t defaultValue) const {
        const PropertyValue* value = site_.ReadProperty(key);
        const auto* i = value ? std::get_if<int64_t>(value) : nullptr;
        if (!i || *i < kInt32Min || *i > std::numeric_limits<uint32_t>::max()) return defaultValue;
        return static_cast<uint32_t>(*i);
    }
    bool Bool(const char* key, bool defaultValue) const {
        const PropertyValue* value = site_.ReadProperty(key);
        if (const auto* b = value ? std::get_if<bool>(value) : nullptr) return *b;
        if (const auto* i = value ? std::get_if<int64_t>(value) : nullptr) return *i != 0;
        return defaultValue;
    }
    float Real(const char* key, float defaultValue, double low, double high) const {
        const PropertyValue* value = site_.ReadProperty(key);
        double read = defaultValue;
        if (const auto* d = value ? std::get_if<double>(value) : nullptr) read = *d;
        if (const auto* i = value ? std::get_if<int64_t>(value) : nullptr) read = static_cast<double>(*i);
        return read >= low && read <= high ? static_cast<float>(read) : defaultValue;
    }
    Bytes ByteArray(const char* key) const {
        const PropertyValue* value = site_.ReadProperty(key);
        const auto* b = value ? std::get_if<Bytes>(value) : nullptr;
        return b ? *b : Bytes{};
    }

private:
    const ControlSite& site_;
};

int32_t NearestInt(double value) {
    if (!(std::fabs(value) < 2e9)) return 0;
    return static_cast<int32_t>(std::nearbyint(value));
}

}  // namespace

void aicAlphaImage::pvConnectCrossComm() {
    // The first control of this type on the form holds the shared object;
    // the first to connect makes it (and starts GDI+ for the window).
    const ICrossComm* first = site_.FirstControlOfType(kTypeName);
    crossComm_ = first ? first->CrossTalkClass() : nullptr;
    if (!crossComm_) {
        crossComm_ = std::make_shared<cCrossComm>();
        if (image_->isGDIplusEnabled()) crossComm_->ManageGDIToken(site_.ContainerWindow());
    }
    const uintptr_t token = crossComm_->gdiToken();
    for (c32bppDIB* image : {image_.get(), bufferImage_.get(), shadowImage_.get()})
        if (image) image->SetGdiToken(token);
    crossComm_->AddRef(Identity());
    if (site_.UserMode()) {
        mouseTimerReady_ = true;
        hostWindow_ = site_.ContainerWindow();
    }
}

void aicAlphaImage::pvDisconnectCrossComm() {
    if (!crossComm_) return;
    crossComm_->RemoveRef(Identity());
    crossComm_.reset();
}

void aicAlphaImage::InitProperties() {
    pvConnectCrossComm();
    opacity_ = 100;
    grayFormula_ = -1;
    scaleMethod_ = 0;
    maskColor_ = kMaskSystemColour;
    propsFlags_ = kStretchQuality | kAutoSize;
    shadowColor_ = kDarkGrey;
    shadowDepth_ = 2;
    shadowOffsetX_ = shadowOffsetY_ = 2;
    shadowOpacity_ = 50;
    image_->SetHighQualityInterpolation(true);
    pvReadContainerScaleMode();
}

void aicAlphaImage::pvReadStoredState() {
    const StoredValues stored(site_);
    const Bytes imageBytes = stored.ByteArray("Image");
    scaleMethod_ = stored.Int("Scaler", 0);
    opacity_ = stored.Int("Opacity", 100, 0, 100);
    mirror_ = stored.Int("Mirror", 0, 0, 3);
    rotation_ = stored.Int("Angle", 0, -359, 359);
    grayFormula_ = stored.Int("GrayScale", -1, -1, 7);
    hitTestStyle_ = stored.Int("HitTest", 0, 0, 3);
    // The buffer-in-use bit belongs to the running control, never to a form;
    // bits no switch uses (a negative value's too) are ignored, not the rest.
    propsFlags_ = static_cast<uint32_t>(stored.Int("Props", 1)) & kStoredPropsBits & ~(kBufferInUse | 0x002u);
    maskApplied_ = stored.Bool("MaskUsed", false);
    maskColor_ = stored.Colour("MaskColor", kMaskSystemColour);
    maskSource_ = stored.Int("MaskSource", 0, 0, 5);
    if (maskApplied_) appliedMaskColor_ = stored.Colour("Mask", kMaskSystemColour);
    if (maskApplied_ && maskSource_ == 0) maskApplied_ = false;  // a mask without a source cannot be removed again

    SetEnabled(stored.Bool("Enabled", true));
    SetMouseIcon(stored.ByteArray("MIcon"));
    SetMousePointer(stored.Int("MPointer", 0, kInt16Min, kInt16Max));
    SetOLEDropMode(stored.Int("OLEdrop", 0, kInt16Min, kInt16Max));
    if (scaleMethod_ == 4) {
        scaledWidth_ = stored.Int("ScaleCx", 0, 0, kInt32Max);
        scaledHeight_ = stored.Int("ScaleCy", 0, 0, kInt32Max);
    }
    shadowColor_ = stored.Colour("ShadowColor", kDarkGrey);
    shadowDepth_ = stored.Int("ShadowDepth", 2, 0, 10);
    shadowOffsetX_ = stored.Int("ShadowX", 2, kInt16Min, kInt16Max);
    shadowOffsetY_ = stored.Int("ShadowY", 2, kInt16Min, kInt16Max);
    shadowOpacity_ = stored.Int("ShadowOpacity", 50, 0, 100);
    lightAdjustment_ = stored.Real("Intensity", 0, -100, 100);

    pvReadContainerScaleMode();
    image_->SetHighQualityInterpolation(StretchQuality());
    const bool keep = !site_.UserMode() || KeepOriginalFormat();
    image_->LoadPicture_Stream(imageBytes, NearestInt(site_.ScaleWidth()), NearestInt(site_.ScaleHeight()), 0, 0,
                               keep, 32);
}

void aicAlphaImage::ReadProperties() {
    pvConnectCrossComm();
    pvReadStoredState();
    if (image_->Handle() == 0) {
        if (scaleMethod_ == 4) scaleMethod_ = 0;
        propsFlags_ &= kStretchQuality | kKeepOriginalFormat;
        rotation_ = 0;
        opacity_ = 100;
        mirror_ = 0;
        scaledWidth_ = scaledHeight_ = 0;
    } else {
        auto limit = [](int32_t size, double control, int32_t picture) {
            const int64_t largest = std::max<int64_t>(NearestInt(control), picture);
            return static_cast<int32_t>(std::min<int64_t>({size, largest * kFixedSizeFactor, kFixedSizeLimit}));
        };
        scaledWidth_ = limit(scaledWidth_, site_.ScaleWidth(), image_->Width());
        scaledHeight_ = limit(scaledHeight_, site_.ScaleHeight(), image_->Height());
        pvReapplyModifications();
        if (AutoRedraw() && site_.UserMode()) {
            propsFlags_ |= kBufferInUse;
            if (!pvRenderBuffer(true, true)) pvUpdateHitArea();
            if (ShadowEnabled()) pvUpdateShadow();
        }
    }
    Resize();
}

// Mirror, mask and inversion, as the stored settings say, on pixels that
// hold none of them.
void aicAlphaImage::pvReapplyModifications() {
    pvMirrorPixels(mirror_);
    if (maskApplied_) image_->MakeTransparent(static_cast<int32_t>(TranslateOleColor(appliedMaskColor_)), false);
    if (InversedImage()) image_->MakeImageInverse();
}

Bytes aicAlphaImage::pvImageBytesToSave() {
    Bytes bytes;
    const int32_t type = image_->ImageType();
    if (image_->Handle() == 0 || type == imgCheckerBoard) return bytes;
    if (type == imgBitmap || type == imgBitmapAlpha || type == imgBitmapPremultiplied) {
        if (!image_->isGDIplusEnabled() && !image_->isZlibEnabled()) return bytes;
        // Saved as unaltered pixels, then shown as before.
        pvApplyMirror(0);
        if (maskApplied_) pvRemoveMask();
        if (InversedImage()) image_->MakeImageInverse();
        image_->SaveToStream_PNG(bytes);
        pvReapplyModifications();
        return bytes;
    }
    image_->GetOrginalFormat(bytes);
    return bytes;
}

void aicAlphaImage::WriteProperties() {
    auto integer = [](int64_t value) { return PropertyValue(value); };
    // Of another kind than any byte array, so that the image is always written.
    site_.WriteProperty("Image", pvImageBytesToSave(), PropertyValue(int64_t{0}));
    site_.WriteProperty("Scaler", integer(scaleMethod_), integer(0));
    site_.WriteProperty("Opacity", integer(opacity_), integer(100));
    site_.WriteProperty("Mirror", integer(mirror_), integer(0));
    site_.WriteProperty("Angle", integer(rotation_), integer(0));
    site_.WriteProperty("Enabled", PropertyValue(site_.Enabled()), PropertyValue(true));
    site_.WriteProperty("MPointer", integer(site_.MousePointer()), integer(0));
    site_.WriteProperty("OLEdrop", integer(site_.OLEDropMode()), integer(0));
    site_.WriteProperty("MIcon", site_.MouseIcon(), Bytes{});
    site_.WriteProperty("GrayScale", integer(grayFormula_), integer(-1));
    site_.WriteProperty("HitTest", integer(hitTestStyle_), integer(0));
    site_.WriteProperty("Props", integer(propsFlags_ & ~kBufferInUse), integer(1));
    site_.WriteProperty("MaskUsed", PropertyValue(maskApplied_), PropertyValue(false));
    site_.WriteProperty("MaskColor", integer(maskColor_), integer(kMaskSystemColour));
    site_.WriteProperty("MaskSource", integer(maskSource_), integer(0));
    if (maskApplied_) site_.WriteProperty("Mask", integer(appliedMaskColor_), integer(kMaskSystemColour));
    site_.WriteProperty("ShadowColor", integer(shadowColor_), integer(kDarkGrey));
    site_.WriteProperty("ShadowDepth", integer(shadowDepth_), integer(2));
    site_.WriteProperty("ShadowX", integer(shadowOffsetX_), integer(2));  // 16 bits, as the setters keep them
    site_.WriteProperty("ShadowY", integer(shadowOffsetY_), integer(2));
    site_.WriteProperty("ShadowOpacity", integer(shadowOpacity_), integer(50));
    site_.WriteProperty("Intensity", PropertyValue(static_cast<double>(lightAdjustment_)), PropertyValue(0.0));
    if (scaleMethod_ == 4) {
        site_.WriteProperty("ScaleCx", integer(scaledWidth_), integer(0));
        site_.WriteProperty("ScaleCy", integer(scaledHeight_), integer(0));
    }
}

void aicAlphaImage::Show() {
    if (site_.Enabled() && crossComm_) crossComm_->AddRef(Identity());
    if (scaledWidth_ == 0) pvResizeAndRefresh();
}

void aicAlphaImage::Hide() {
    pvStopFade();
    pvStopMouseTimer();
    if (site_.Enabled() && crossComm_) crossComm_->RemoveRef(Identity());
}
