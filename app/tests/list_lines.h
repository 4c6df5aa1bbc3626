// Reads a list box's lines, also one of another process: the wide messages
// cross processes intact where the ANSI ones are converted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::vector<std::wstring> ListLines(HWND list) {
    std::vector<std::wstring> lines;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring line(length > 0 ? length + 1 : 1, L'\0');
        length = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(length > 0 ? length : 0);
        lines.push_back(line);
    }
    return lines;
}
