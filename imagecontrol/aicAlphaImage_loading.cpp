// Putting a picture into the control, clearing it, and exchanging its
// pixels or file bytes.
#include <cmath>

#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/system_color.h"

void aicAlphaImage::pvDefaultIconSize(int32_t& width, int32_t& height, int32_t& depth) const {
    auto nearest = [](double v) { return std::fabs(v) < 2e9 ? static_cast<int32_t>(std::nearbyint(v)) : 0; };
    if (height < 1) height = nearest(site_.ScaleHeight());
    if (width < 1) width = nearest(site_.ScaleWidth());
    if (depth < 1) depth = 32;
}

void aicAlphaImage::pvApplyImageSettings() {
    pvApplyMirror(0);
    if (maskApplied_) {
        if (!image_->Alpha()) {
            if (maskSource_ >= 2) appliedMaskColor_ = pvCornerColor(maskSource_);
            image_->MakeTransparent(static_cast<int32_t>(TranslateOleColor(appliedMaskColor_)), false);
        } else {
            maskApplied_ = false;
            maskSource_ = 0;
            site_.PropertyChanged("MaskUsed");
        }
    }
    if (InversedImage()) image_->MakeImageInverse();
    pvResizeAndRefresh();
}

bool aicAlphaImage::LoadImage_FromArray(const Bytes& inStream, int32_t& desiredIconWidth, int32_t& desiredIconHeight,
                                        int32_t& desiredIconBitDepth) {
    pvDefaultIconSize(desiredIconWidth, desiredIconHeight, desiredIconBitDepth);
    if (!image_->LoadPicture_Stream(inStream, desiredIconWidth, desiredIconHeight, 0, 0, KeepOriginalFormat(),
                                    desiredIconBitDepth))
        return false;
    pvApplyImageSettings();
    return true;
}

bool aicAlphaImage::LoadImage_FromFile(const std::wstring& FileName, int32_t& desiredIconWidth,
                                       int32_t& desiredIconHeight, int32_t& desiredIconBitDepth) {
    pvDefaultIconSize(desiredIconWidth, desiredIconHeight, desiredIconBitDepth);
    if (!image_->LoadPicture_File(FileName, desiredIconWidth, desiredIconHeight, KeepOriginalFormat(),
                                  desiredIconBitDepth))
        return false;
    pvApplyImageSettings();
    return true;
}

bool aicAlphaImage::LoadImage_FromOrignalBytes(int32_t& desiredIconWidth, int32_t& desiredIconHeight,
                                               int32_t& desiredIconBitDepth) {
    pvDefaultIconSize(desiredIconWidth, desiredIconHeight, desiredIconBitDepth);
    if (!image_->LoadPicture_FromOrignalFormat(desiredIconWidth, desiredIconHeight, desiredIconBitDepth))
        return false;
    pvApplyImageSettings();
    return true;
}

void aicAlphaImage::pvKeepEncodedBytes() {
    if (!KeepOriginalFormat()) return;
    Bytes encoded;
    if (image_->SaveToStream(encoded)) image_->SetOriginalFormat(encoded);
}

void aicAlphaImage::ClearImage() {
    if (Flag(kBufferInUse)) bufferImage_.reset();
    image_->DestroyDIB();
    shadowImage_.reset();
    if (site_.UserMode()) {
        Refresh();
        return;
    }
    if (image_->InitializeDIB(scaledWidth_, scaledHeight_)) image_->CreateCheckerBoard(12, 0xFFFFFF, 0xC0C0C0);
    pvResizeAndRefresh();
}

bool aicAlphaImage::GetImageBytes(Bytes& imgBytes, int32_t& scanWidth, bool asArray2D, bool asBGRformat,
                                  bool asBottomUp, bool asPreMultiplied, bool asFileFormat) {
    const int32_t type = image_->ImageType();
    if (type == imgBlank || type == imgNone || type == imgCheckerBoard || image_->Handle() == 0) return false;
    if (asFileFormat) {
        if (image_->GetOrginalFormat(imgBytes)) return true;
        if (image_->isGDIplusEnabled() || image_->isZlibEnabled()) return image_->SaveToStream_PNG(imgBytes);
        return image_->SaveToStream(imgBytes);
    }
    scanWidth = image_->scanWidth();
    return image_->GetDIBbits(imgBytes, asArray2D, asBGRformat, true, true, asBottomUp, 0, 0, 0, 0, asPreMultiplied);
}

bool aicAlphaImage::SetImageBytes(const Bytes& imgBytes, bool isBGRformat, bool isBottomUp) {
    if (image_->ImageType() == imgNone) return false;
    if (!image_->SetDIBbits(imgBytes, isBGRformat, true, true, isBottomUp, 0, 0, 0, 0)) return false;
    pvAfterPixelsChanged();
    return true;
}

int32_t aicAlphaImage::ImageType() const {
    const int32_t type = image_->ImageType();
    if (type == imgCheckerBoard || type == imgBlank || type == imgNone) return imgBlank;
    if (KeepOriginalFormat()) return type;
    if (image_->isGDIplusEnabled() || image_->isZlibEnabled()) return imgPNG;
    return image_->Alpha() ? imgBitmapPremultiplied : imgBitmap;
}

bool aicAlphaImage::pvGetOriginalBytes(Bytes& bytes) const {
    if (image_->ImageType() == imgCheckerBoard) return false;
    return image_->GetOrginalFormat(bytes);
}

void aicAlphaImage::pvLoadForPropertyPage(const Bytes& bytes, int32_t width, int32_t height, int32_t depth) {
    image_->LoadPicture_Stream(bytes, width, height, 0, 0, true, depth);
    const int32_t method = scaleMethod_;
    const bool autoSize = AutoSize();
    propsFlags_ |= kAutoSize;
    scaleMethod_ = 3;
    pvApplyImageSettings();
    scaleMethod_ = method;
    if (!autoSize) propsFlags_ &= ~kAutoSize;
    site_.PropertyChanged("ScaleMethod");
}
