// Pictures from sources only Windows has: picture objects, the clipboard,
// handles and resources.
#include "imagecontrol/aicAlphaImage.h"

bool aicAlphaImage::LoadImage_FromStdPicture(IPicture* stdPic) {
    if (!image_->LoadPicture_StdPicture(stdPic)) return false;
    pvKeepEncodedBytes();
    pvApplyImageSettings();
    return true;
}

bool aicAlphaImage::LoadImage_FromClipboard() {
    if (!image_->LoadPicture_ClipBoard()) return false;
    pvKeepEncodedBytes();
    pvApplyImageSettings();
    return true;
}

bool aicAlphaImage::LoadImage_FromHandle(HANDLE Handle) {
    if (!image_->LoadPicture_ByHandle(Handle)) return false;
    pvKeepEncodedBytes();
    pvApplyImageSettings();
    return true;
}

bool aicAlphaImage::LoadImage_FromResource(HMODULE VBglobal, const c32bppDIB::ResourceSection& ResSection,
                                           const c32bppDIB::ResourceId& ResID, int32_t& desiredIconWidth,
                                           int32_t& desiredIconHeight, int32_t& desiredIconBitDepth) {
    pvDefaultIconSize(desiredIconWidth, desiredIconHeight, desiredIconBitDepth);
    // Settings are applied to new pixels only: the old ones already carry them.
    bool replaced = false;
    if (!image_->LoadPicture_Resource(ResID, ResSection, VBglobal, desiredIconWidth, desiredIconHeight, 0, 0,
                                      desiredIconBitDepth, &replaced) ||
        !replaced)
        return false;
    pvApplyImageSettings();
    return true;
}
