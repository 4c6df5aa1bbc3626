// mendlow-designer.exe: opens the form description named on its command
// line (or through File, Open) for designing.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include "app/host/message_pump.h"
#include "designer/win32/designer_window.h"
#include "common/system_library.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::NarrowLibrarySearch();  // before anything loads a library
    OleInitialize(nullptr);  // picture objects, the clipboard and drops
    int exitCode = 1;
    {
        designer::DesignerWindow designer;
        if (designer.Create()) {
            int count = 0;
            wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
            if (arguments && count > 1) designer.Open(arguments[1]);
            LocalFree(arguments);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            exitCode = static_cast<int>(msg.wParam);
        }
    }
    OleUninitialize();
    return exitCode;
}
