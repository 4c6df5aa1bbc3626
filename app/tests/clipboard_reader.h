// What the clipboard holds as text, for tests that press Copy.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring ClipboardText() {
    std::wstring text;
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) Sleep(20);
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

inline void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}
