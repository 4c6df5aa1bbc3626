// demo_form.exe: shows the demo form until it is closed.
#include <windows.h>
#include <ole2.h>

#include "app/demo/demo_form.h"
#include "app/host/message_pump.h"
#include "common/system_library.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    win32::NarrowLibrarySearch();  // before anything loads a library
    OleInitialize(nullptr);  // the form is a drop target
    int exitCode = 1;
    host::ParsedForm parsed = demo::LoadDemoForm();
    if (parsed.ok) {
        demo::DemoForm form(std::move(parsed.form));
        if (form.Load()) {
            form.Show();
            exitCode = host::RunMessageLoop();
        }
    }
    OleUninitialize();
    return exitCode;
}
