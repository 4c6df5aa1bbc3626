#include <windows.h>

#include "imagecontrol/system_color.h"

uint32_t SystemColor(uint32_t index) { return GetSysColor(static_cast<int>(index)); }
