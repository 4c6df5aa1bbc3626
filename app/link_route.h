// Which way a web address leaves the program. An elevated process must not
// start the browser itself: the browser would inherit its administrator
// rights, and the https handler comes from the per-user classes, which any
// unelevated program can rewrite.
#pragma once

#include <functional>
#include <string>

namespace app {

struct LinkRoutes {
    bool elevated = false;
    // Asks the user's own, unelevated desktop shell to open it; false when it could not.
    std::function<bool(const std::wstring& address)> desktopShell;
    // Opens it from this process.
    std::function<void(const std::wstring& address)> shellExecute;
    // Starts nothing: shows the address for the user to copy.
    std::function<void(const std::wstring& address)> showAddress;
};

void OpenLink(const std::wstring& address, const LinkRoutes& routes);

}  // namespace app
