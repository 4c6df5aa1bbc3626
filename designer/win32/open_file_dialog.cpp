#include "designer/win32/open_file_dialog.h"

#include "common/system_library.h"

namespace comdlg32 {

BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) {
    static const auto function = win32::Export<decltype(&::GetOpenFileNameW)>(
        win32::LoadSystemLibrary(L"comdlg32.dll").release(), "GetOpenFileNameW");  // for the process's life
    return function ? function(dialog) : FALSE;
}

}  // namespace comdlg32
