#include "imagecontrol/scale_units.h"

#include "imagecontrol/control_site.h"

namespace {

// Units per inch of a scale mode other than pixels; 0 for those without a
// fixed length (user, container-relative, unknown).
double FixedUnitsPerInch(int32_t scaleMode, bool horizontal) {
    switch (scaleMode) {
        case vbTwips: return 1440;
        case vbPoints: return 72;
        case vbCharacters: return horizontal ? 12 : 6;  // 120 by 240 twips
        case vbInches: return 1;
        case vbMillimeters: return 25.4;
        case vbCentimeters: return 2.54;
        case vbHimetric: return 2540;
        default: return 0;
    }
}

}  // namespace

double ConvertScaleUnits(double value, int32_t fromScale, int32_t toScale, int32_t dotsPerInch, int32_t containerMode,
                         bool horizontal) {
    auto perInch = [&](int32_t mode) {
        if (mode == vbContainerPosition || mode == vbContainerSize) mode = containerMode;
        if (mode == vbPixels) return static_cast<double>(dotsPerInch);
        const double units = FixedUnitsPerInch(mode, horizontal);
        return units > 0 ? units : 1440.0;
    };
    return value * perInch(toScale) / perInch(fromScale);
}
