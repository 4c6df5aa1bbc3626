#include "imagecore/system_capabilities.h"

using namespace capability;

uint32_t CapabilityBitsFor(const WindowsVersion& version) {
    if (version.platformId == 1)  // Windows 95 lacks AlphaBlend and GDI+ alike
        return version.minor != 0 ? kAlphaBlendAllowed | kWin9xFamily : kGdiplusNever;
    if (version.major > 4) return kAlphaBlendForPlainDrawing | kAlphaBlendAllowed;
    return version.servicePackMajor < 6 ? kGdiplusNever : 0;
}
