#include "app/ansi_text.h"

namespace app {

size_t WholeCharacterPrefixDbcs(std::span<const uint8_t> bytes, const std::function<bool(uint8_t)>& isLeadByte) {
    // Trail bytes can look like lead bytes, so walk from the start.
    size_t i = 0;
    while (i < bytes.size()) {
        size_t width = isLeadByte(bytes[i]) ? 2 : 1;
        if (i + width > bytes.size()) break;
        i += width;
    }
    return i;
}

size_t WholeCharacterPrefixUtf8(std::span<const uint8_t> bytes) {
    // Look back at most three bytes for the start of the last sequence.
    size_t n = bytes.size();
    for (size_t back = 1; back <= 4 && back <= n; ++back) {
        uint8_t b = bytes[n - back];
        if ((b & 0xC0) == 0x80) continue;  // continuation byte
        size_t width = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
        return width > back ? n - back : n;
    }
    return n;  // no start byte nearby: not UTF-8 worth repairing
}

}  // namespace app
