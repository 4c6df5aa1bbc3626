// Plain drawing through the system's AlphaBlend, from the image's own DC.
// gdi32's own export: msimg32's AlphaBlend only forwards to it, and msimg32
// is not a library Windows always takes from its system folder.
#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"

bool c32bppDIB::pvAlphaBlend(HDC target, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                             int32_t SrcX, int32_t SrcY, int32_t srcWidth, int32_t srcHeight, uint32_t opacityLevel,
                             bool SetHalfTone) {
    if (target == nullptr) return false;
    // The section goes into the own DC for the call; what was there before
    // is put back afterwards.
    const bool hadDc = ownDc_.Exists(), wasSelected = ownDc_.IsSelected();
    ownDc_.Create();
    ownDc_.Select(storage_.Bitmap());

    int previousMode = 0;
    if (SetHalfTone && !(capabilities_ & capability::kWin9xFamily))
        previousMode = SetStretchBltMode(target, HALFTONE);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(opacityLevel),
                        static_cast<BYTE>(alpha_ ? AC_SRC_ALPHA : 0)};
    const bool drawn = ownDc_.Get() != nullptr && GdiAlphaBlend(target, destX, destY, destWidth, destHeight,
                                                                 ownDc_.Get(), SrcX, SrcY, srcWidth, srcHeight,
                                                                 blend) != FALSE;
    if (previousMode != 0) SetStretchBltMode(target, previousMode);

    if (!hadDc)
        ownDc_.Delete();
    else if (!wasSelected)
        ownDc_.Deselect();
    return drawn;
}
