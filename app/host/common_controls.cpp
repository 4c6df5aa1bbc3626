#include "app/host/common_controls.h"

#include "common/system_library.h"

namespace comctl32 {
namespace {

struct Functions {
    HMODULE module = nullptr;
    decltype(&::InitCommonControlsEx) initCommonControlsEx = nullptr;
    decltype(&::SetWindowSubclass) setWindowSubclass = nullptr;
    decltype(&::DefSubclassProc) defSubclassProc = nullptr;
};

// Older versions export the subclass functions by ordinal only.
template <class Function>
Function Bind(HMODULE module, const char* name, WORD ordinal) {
    auto function = win32::Export<Function>(module, name);
    return function ? function : win32::Export<Function>(module, MAKEINTRESOURCEA(ordinal));
}

const Functions& Bound() {
    static const Functions functions = [] {
        Functions f;
        f.module = win32::LoadSystemLibrary(L"comctl32.dll").release();  // for the process's life
        f.initCommonControlsEx = win32::Export<decltype(f.initCommonControlsEx)>(f.module, "InitCommonControlsEx");
        f.setWindowSubclass = Bind<decltype(f.setWindowSubclass)>(f.module, "SetWindowSubclass", 410);
        f.defSubclassProc = Bind<decltype(f.defSubclassProc)>(f.module, "DefSubclassProc", 413);
        return f;
    }();
    return functions;
}

}  // namespace

HMODULE Module() { return Bound().module; }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    auto function = Bound().initCommonControlsEx;
    return function ? function(init) : FALSE;
}

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR refData) {
    auto function = Bound().setWindowSubclass;
    return function ? function(window, procedure, id, refData) : FALSE;
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto function = Bound().defSubclassProc;
    return function ? function(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace comctl32
