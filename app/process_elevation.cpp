#include "app/process_elevation.h"

#include <windows.h>

#include "common/win32_handles.h"

namespace app {

bool ProcessIsElevated() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return true;
    const win32::Handle token(opened);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return true;
    return elevation.TokenIsElevated != 0;
}

}  // namespace app
