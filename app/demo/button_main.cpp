// button_demo.exe: shows the button demo form until it is closed.
#include <windows.h>
#include <ole2.h>

#include "app/demo/button_demo.h"
#include "app/host/message_pump.h"
#include "app/mdXpThemeSupport.h"
#include "common/system_library.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::NarrowLibrarySearch();  // before anything loads a library
    mdXpThemeSupport::InitVisualStyles();
    OleInitialize(nullptr);  // picture objects
    int exitCode = 1;
    host::ParsedForm parsed = demo::LoadButtonForm();
    if (parsed.ok) {
        demo::ButtonDemo form(std::move(parsed.form));
        if (form.Load()) {
            form.Show();
            exitCode = host::RunMessageLoop();
        }
    }
    OleUninitialize();
    return exitCode;
}
