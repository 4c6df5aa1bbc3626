#include "app/link_route.h"

namespace app {

void OpenLink(const std::wstring& address, const LinkRoutes& routes) {
    if (!routes.elevated) {
        routes.shellExecute(address);
        return;
    }
    // Never fall back to running it here with the process's rights.
    if (!routes.desktopShell(address)) routes.showAddress(address);
}

}  // namespace app
