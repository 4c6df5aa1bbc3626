// Without a desktop, system colours are those of the standard Windows
// scheme, so that stored forms draw alike on every build.
#include <array>

#include "imagecontrol/system_color.h"

uint32_t SystemColor(uint32_t index) {
    static constexpr std::array<uint32_t, 31> kStandard = {
        0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xC56A31, 0xC8D0D4};
    return index < kStandard.size() ? kStandard[index] : 0;
}
