// Libraries of the system, taken from its own folder only. The programs run
// with administrator rights from folders such as Downloads, where anybody can
// leave a file named like a system library: no load by a bare name may
// reach the program's folder, the current folder or PATH.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "common/win32_handles.h"

namespace win32 {

// The system folder with a trailing separator (a 32-bit program on 64-bit
// Windows gets its own, redirected one).
inline std::wstring SystemFolder() {
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring folder(path, length);
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

// Loads a system library from the system folder. The process's side-by-side
// assemblies still apply (the common controls 6 of the manifest).
inline Library LoadSystemLibrary(const wchar_t* name) {
    Library library(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Systems without the search flags refuse them; a full path is as safe.
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER)
        library.reset(LoadLibraryExW((SystemFolder() + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return library;
}

// First thing at start: every later load by a bare name, the system's own
// libraries' dependencies included, searches the system folder only.
inline void NarrowLibrarySearch() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDirectories = kernel ? reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
                                       GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                 : nullptr;
    if (!setDirectories || !setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");  // without the update: at least not the current folder
    // The system's own libraries load these lazily, by a bare name, and Wine
    // resolves such delayed imports from the program's folder first, however
    // the search was narrowed. Loaded from the system folder now, they are
    // found already loaded then.
    for (const wchar_t* name : {L"msimg32.dll", L"uxtheme.dll", L"gdiplus.dll"}) LoadSystemLibrary(name).release();
}

// The export as a typed function pointer, or null.
template <class Function>
Function Export(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

}  // namespace win32
