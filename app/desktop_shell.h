// Opening an address through the user's own desktop shell, so that what it
// starts runs with the user's rights, not with this (elevated) process's.
#pragma once

#include <string>

namespace app {

// True when the desktop shell accepted the request; false when there is no
// desktop shell to ask or it refused. Needs COM started on this thread.
bool OpenWithDesktopShell(const std::wstring& address);

}  // namespace app
