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

// The export as a typed function pointer, or null.
template <class Function>
Function Export(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// Loads `name` (a bare name: from the system folder; a full path: that file),
// with what it imports from the system folder. The process's side-by-side
// assemblies still apply (the common controls 6 of the manifest).
inline Library LoadWithSystemImports(const std::wstring& name) {
    Library library(LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Systems without the search flags refuse them; a full path is as safe.
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER) {
        const bool fullPath = name.find_first_of(L"\\/") != std::wstring::npos;
        library.reset(LoadLibraryExW((fullPath ? name : SystemFolder() + name).c_str(), nullptr,
                                     LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    return library;
}

inline Library LoadSystemLibrary(const wchar_t* name) { return LoadWithSystemImports(name); }

// First thing at start: every later load by a bare name, the system's own
// libraries' dependencies included, searches the system folder only.
inline void NarrowLibrarySearch() {
    auto setDirectories = Export<BOOL(WINAPI*)(DWORD)>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (!setDirectories || !setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");  // without the update: at least not the current folder
    // The system's own libraries load these lazily, by a bare name, and Wine
    // resolves such delayed imports from the program's folder first, however
    // the search was narrowed. Loaded from the system folder now, they are
    // found already loaded then.
    for (const wchar_t* name : {L"msimg32.dll", L"uxtheme.dll", L"gdiplus.dll"}) LoadSystemLibrary(name).release();
}

}  // namespace win32
