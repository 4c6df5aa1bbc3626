// The real X pointer of the virtual display, moved and clicked through xdotool.
#pragma once

#include <windows.h>

#include <string>

#include "common/win32_handles.h"

// Wine starts a Unix program given its path as a DOS path; it hands back no
// process to wait for, so each step waits for what it causes instead.
inline constexpr wchar_t kXdotool[] = L"Z:\\usr\\bin\\xdotool";

inline bool Xdotool(const std::wstring& arguments) {
    std::wstring command = std::wstring(kXdotool) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    if (info.hProcess) {  // a Windows that gives one
        win32::Handle process(info.hProcess), thread(info.hThread);
        WaitForSingleObject(process.get(), 5000);
    }
    return true;
}

// Moves the pointer and waits until the window system has it there.
inline bool MoveTo(POINT screen) {
    if (!Xdotool(L"mousemove " + std::to_wstring(screen.x) + L" " + std::to_wstring(screen.y))) return false;
    for (int waited = 0; waited < 3000; waited += 10) {
        POINT at{};
        if (GetCursorPos(&at) && at.x == screen.x && at.y == screen.y) return true;
        Sleep(10);
    }
    return false;
}
