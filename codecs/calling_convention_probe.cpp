#include "codecs/calling_convention_probe.h"

CallingConvention ProbeThreeArgumentConvention(std::span<const uint8_t> code) {
    for (size_t i = 0; i < code.size(); ++i) {
        if (code[i] == 0xC2 && i + 2 < code.size()) {
            if ((code[i + 1] | code[i + 2] << 8) == 12) return CallingConvention::Stdcall;
        } else if (code[i] == 0xC3 && (i == 0 || code[i - 1] != 0x33)) {
            return CallingConvention::Cdecl;
        }
    }
    return CallingConvention::Unknown;
}
