// The system's text for an error code, or the code itself where it has none.
#pragma once

#include <windows.h>

#include <cwctype>
#include <cstdio>
#include <iterator>
#include <string>

namespace win32 {

inline std::wstring SystemMessage(DWORD code) {
    wchar_t buffer[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    while (length > 0 && std::iswspace(buffer[length - 1])) --length;
    return std::wstring(buffer, length);
}

inline std::wstring SystemMessageOrCode(DWORD code) {
    std::wstring message = SystemMessage(code);
    if (!message.empty()) return message;
    wchar_t text[24];
    std::swprintf(text, std::size(text), L"error 0x%08lX", static_cast<unsigned long>(code));
    return text;
}

}  // namespace win32
