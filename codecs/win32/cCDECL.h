// Calls exports of a run-time-loaded library that uses the cdecl convention,
// by name, with up to five pointer-sized arguments (32-bit on i686), through
// typed function pointers. On x86_64 every export is called this way: there
// the caller always removes the arguments.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "common/win32_handles.h"

class cCDECL {
public:
    static constexpr size_t kMaxArguments = 5;
    // Wide enough for an address: integers and pointers travel alike.
    using Argument = uintptr_t;

    // Loads the library, replacing (and releasing) one loaded before; a bare
    // file name, searched where shipped libraries are (modParsers).
    bool DllLoad(const std::string& sName);
    bool DllUnload();

    // The export's 32-bit result; nothing when no library is loaded, the
    // export is missing or more than five arguments are given, so that a
    // missing function is never called.
    std::optional<uint32_t> CallFunc(const std::string& sFunction, std::initializer_list<Argument> parmLongs);

    // The thread's last error right after the most recent call.
    uint32_t LastError() const { return lastError_; }

private:
    win32::Library library_;
    bool libraryChanged_ = false;
    std::string lastFunction_;
    FARPROC address_ = nullptr;
    uint32_t lastError_ = 0;
};
