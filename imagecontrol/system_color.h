// OLE colours as the control draws them: a value with the top bit set names
// a system colour by its low byte.
#pragma once

#include <cstdint>

// The system's colour of that index, as 0x00BBGGRR.
uint32_t SystemColor(uint32_t index);

inline uint32_t TranslateOleColor(uint32_t oleColor) {
    return (oleColor & 0x80000000u) ? SystemColor(oleColor & 0xFF) : oleColor;
}
