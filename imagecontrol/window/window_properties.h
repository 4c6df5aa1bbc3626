// The properties AIM_SETPROPERTY and AIM_GETPROPERTY reach, by number.
#pragma once

#include <windows.h>

class aicAlphaImage;

namespace mendlow {

// True when the control holds the value afterwards (its setter ignores
// values out of range); false for an unknown property or a read-only one.
bool SetWindowProperty(aicAlphaImage& control, WPARAM property, LPARAM value);
// 0 for an unknown property.
LRESULT GetWindowProperty(const aicAlphaImage& control, WPARAM property);

}  // namespace mendlow
