// What the system lets the image object use, decided once per object.
#pragma once

#include <cstdint>

namespace capability {
inline constexpr uint32_t kAlphaBlendForPlainDrawing = 1;
inline constexpr uint32_t kGdiplusEnabled = 2;
inline constexpr uint32_t kAlphaBlendAllowed = 8;
inline constexpr uint32_t kWin9xFamily = 16;  // never switch halftone stretching on
inline constexpr uint32_t kGdiplusNever = 32;
}  // namespace capability

struct WindowsVersion {
    uint32_t platformId = 0;  // 1: the 95/98/ME family, 2: NT
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t servicePackMajor = 0;
};

uint32_t CapabilityBitsFor(const WindowsVersion& version);

// The bits for the system this runs on. Natively: no AlphaBlend and no GDI+.
uint32_t ProbeSystemCapabilities();
