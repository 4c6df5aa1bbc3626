// Start-up: harden the process, show the main window, run until it closes.
#include <windows.h>
#include <ole2.h>

#include "app/frm_main.h"
#include "app/host/message_pump.h"
#include "app/mdXpThemeSupport.h"
#include "common/system_library.h"

namespace {

// Permanent DEP where the system lets a process ask for it; older systems
// decide by policy, and the answer is not needed either way.
void EnableDataExecutionPrevention() {
    using SetPolicy = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setPolicy = kernel ? reinterpret_cast<SetPolicy>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessDEPPolicy")))
                            : nullptr;
    if (setPolicy) setPolicy(PROCESS_DEP_ENABLE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::NarrowLibrarySearch();  // before anything loads a library
    EnableDataExecutionPrevention();
    host::ProcessPendingMessages();
    mdXpThemeSupport::InitVisualStyles();
    OleInitialize(nullptr);  // picture loading and the shell need it

    int exitCode = 0;
    host::ParsedForm parsed = host::LoadFormResource(L"FRMMAIN");
    if (parsed.ok) {
        app::FrmMain mainWindow(std::move(parsed.form));
        if (mainWindow.Load()) {
            mainWindow.Show();
            exitCode = host::RunMessageLoop();
        }
    }
    OleUninitialize();
    return exitCode;
}
