#include "app/host/message_pump.h"

#include <windows.h>

#include "app/host/form.h"

namespace host {
namespace {

void Dispatch(MSG& msg) {
    // A windowless control with the keys sees them first; Tab and arrow keys
    // then move between a form's controls.
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    Form* form = top ? Form::FromWindow(top) : nullptr;
    if (form && form->PreviewKey(msg)) return;
    if (form && IsDialogMessageW(top, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

void ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

int RunMessageLoop() {
    if (Form::LoadedCount() == 0) return 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

bool RunUntil(const std::function<bool()>& done) {
    MSG msg;
    while (!done()) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Dispatch(msg);
    }
    return true;
}

}  // namespace host
