// The system's open-file dialog, loaded from the system folder when first
// shown: imported by name, the dialog library and the common controls and
// theme library it brings would come in at start, from the program's folder.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace comdlg32 {

// False, as for a cancelled dialog, when the library cannot be loaded.
BOOL GetOpenFileNameW(OPENFILENAMEW* dialog);

}  // namespace comdlg32
