#include "app/open_link.h"

#include <shellapi.h>

#include "app/desktop_shell.h"
#include "app/frm_address.h"
#include "app/link_route.h"
#include "app/process_elevation.h"

namespace app {

void OpenLinkFrom(HWND owner, const wchar_t* address) {
    LinkRoutes routes;
    routes.elevated = ProcessIsElevated();
    routes.desktopShell = OpenWithDesktopShell;
    routes.shellExecute = [owner](const std::wstring& link) {
        ShellExecuteW(owner, L"Open", link.c_str(), L"", L"", SW_SHOWNORMAL);  // nothing is shown on failure
    };
    routes.showAddress = [owner](const std::wstring& link) { ShowAddressWindow(owner, link); };
    OpenLink(address, routes);
}

}  // namespace app
