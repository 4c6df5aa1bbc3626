// The sizes held by the icon or cursor file an image was loaded from.
#include "codecs/cICOparser.h"
#include "codecs/ico_directory.h"
#include "imagecore/c32bppDIB.h"

int32_t c32bppDIB::SourceIconSizes(std::vector<IconSize>& sizeArray) const {
    if (Handle() == 0) return 0;
    switch (imageType_) {
        case imgIcon:
        case imgCursor:
        case imgIconAlpha:
        case imgIconPNG:
        case imgCursorAlpha: break;
        default: return 0;
    }
    if (originalFormat_.empty()) {
        // Loaded without its file: only the image itself is known.
        sizeArray.assign(1, IconSize{width_, height_, 32, ico::ColourCode(32)});
        return 1;
    }
    cICOparser icons;
    if (!icons.LoadStream(originalFormat_, 32, 32, nullptr, 0, static_cast<int64_t>(originalFormat_.size()), 32,
                          gdiToken_))
        return 0;
    sizeArray.clear();
    for (int32_t i = 1; i <= icons.IconCount(); ++i)
        sizeArray.push_back({icons.Width(i), icons.Height(i), icons.bitDepth(i), ico::ColourCode(icons.bitDepth(i))});
    return icons.IconCount();
}
