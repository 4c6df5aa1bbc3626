// The bytes child_writer writes: printable lines ending in CR LF.
#pragma once

#include <string>
#include <vector>

inline std::vector<char> OutputPattern(size_t size) {
    std::vector<char> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        size_t column = i % 64;
        bytes[i] = column == 62 ? '\r' : column == 63 ? '\n' : static_cast<char>('!' + (i * 7 + i / 64) % 90);
    }
    return bytes;
}

inline std::wstring WideOutputPattern(size_t size) {
    std::vector<char> bytes = OutputPattern(size);
    return std::wstring(bytes.begin(), bytes.end());
}
