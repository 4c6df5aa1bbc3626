// Lengths between a form's scale modes, as a host answers the control's
// ScaleX and ScaleY: pixels by the display's dots per inch, the rest by
// their fixed length per inch.
#pragma once

#include <cstdint>

// A container-relative mode counts as containerMode; a mode without a fixed
// length (a user scale) counts as twips, a form's own unit.
double ConvertScaleUnits(double value, int32_t fromScale, int32_t toScale, int32_t dotsPerInch, int32_t containerMode,
                         bool horizontal);
