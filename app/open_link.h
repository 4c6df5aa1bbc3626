// Opens a web address for the main window by the route link_route.h chooses,
// with the system's own routes.
#pragma once

#include <windows.h>

namespace app {

// owner: the window an address window, when one is needed, belongs to.
void OpenLinkFrom(HWND owner, const wchar_t* address);

}  // namespace app
