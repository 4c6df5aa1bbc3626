// What a planted file does when it runs: it adds its own name to
// "planted.log" in the folder it lies in, so a test can see that it ran.
#pragma once

#include <windows.h>

#include <string>

inline void RecordThatThisRan(HMODULE self) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file(path, length);
    size_t slash = file.find_last_of(L"\\/");
    std::wstring name = file.substr(slash + 1) + L"\r\n";
    HANDLE log = CreateFileW((file.substr(0, slash + 1) + L"planted.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(log, name.data(), static_cast<DWORD>(name.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(log);
}
