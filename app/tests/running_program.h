// A program of the build started from a test, as a user would start it:
// waits for its window, its end, and ends it if the test does not.
#pragma once

#include <windows.h>

#include <string>

#include "common/program_folder.h"
#include "common/win32_handles.h"

class RunningProgram {
public:
    // A program of this build's folder by its file name, or any by its full
    // path; started in `folder` when one is given.
    explicit RunningProgram(const std::wstring& program = L"mendlow.exe", const std::wstring& arguments = L"",
                            const std::wstring& folder = L"") {
        const bool fullPath = program.find(L'\\') != std::wstring::npos;
        std::wstring command = L"\"" + (fullPath ? L"" : win32::ProgramFolder()) + program + L"\"";
        if (!arguments.empty()) command += L" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
            process_.reset(info.hProcess);
            win32::Handle thread(info.hThread);
            processId_ = info.dwProcessId;
        }
    }
    ~RunningProgram() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 99);
    }

    bool Started() const { return static_cast<bool>(process_); }
    HANDLE Process() const { return process_.get(); }

    // Its visible top-level window of that class and title, or none on time-out.
    HWND WaitForWindow(const wchar_t* windowClass, const wchar_t* title, DWORD timeoutMs) const {
        for (DWORD waited = 0; waited < timeoutMs && process_; waited += 50) {
            HWND window = FindWindowW(windowClass, title);
            DWORD owner = 0;
            if (window) GetWindowThreadProcessId(window, &owner);
            if (window && owner == processId_ && IsWindowVisible(window)) return window;
            Sleep(50);
        }
        return nullptr;
    }
    HWND WaitForMainWindow(DWORD timeoutMs) const {
        return WaitForWindow(L"MendlowForm", L"Mendlow By Zelbrin", timeoutMs);
    }

    // Exit code once the program has ended, or -1 on time-out.
    long WaitForExit(DWORD timeoutMs) const {
        if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<long>(code);
    }

private:
    win32::Handle process_;
    DWORD processId_ = 0;
};
