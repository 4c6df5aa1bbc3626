// The folder the running program was started from, with a trailing separator.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

inline std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path, length);
    return self.substr(0, self.find_last_of(L"\\/") + 1);
}

}  // namespace win32
