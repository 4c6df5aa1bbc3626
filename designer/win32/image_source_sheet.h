// A modal property sheet holding the "Image Source" page for one image
// control, with OK, Cancel and Apply (enabled while the page has changes).
#pragma once

#include <windows.h>

#include <string>

#include "imagecontrol/aicAlphaImage.h"

namespace designer {

// True when the sheet applied something to the control.
bool ShowImageSourceSheet(HWND owner, aicAlphaImage& control, const std::string& controlName);

}  // namespace designer
