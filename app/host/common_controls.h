// The common controls, loaded at run time after the library search has been
// narrowed: imported by name, they would come in at start together with the
// theme library they import, from wherever the program was started.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace comctl32 {

// The library the process's activation context chooses (version 6 through
// the manifest); null when it cannot be loaded.
HMODULE Module();

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR refData);
// Without the library nothing is subclassed: the window's own procedure answers.
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace comctl32
