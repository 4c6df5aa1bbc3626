// The run's progress on the window's taskbar button. Where the taskbar has
// no such interface (older systems, no shell), nothing is shown and nothing
// else changes.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include "common/win32_handles.h"

namespace app {

class TaskbarProgress {
public:
    void Show(HWND window, size_t done, size_t total, bool failed);
    void Clear(HWND window);

private:
    ITaskbarList3* List();

    win32::ComPtr<ITaskbarList3> list_;
    bool tried_ = false;
};

}  // namespace app
