// The window that shows an address the program will not open itself, owned
// by the main window: the address can be selected, "Copy" puts it on the
// clipboard, "Close" or Esc closes it.
#pragma once

#include <string>

#include "app/host/form.h"

namespace app {

class FrmAddress : public host::Form {
public:
    FrmAddress(host::FormObject description, HWND owner);

    // Loads the window first where needed.
    bool ShowAddress(const std::wstring& address);

protected:
    void Form_Load() override;

private:
    std::wstring address_;
};

// Shows the address in the program's one address window, made anew for
// another owner.
void ShowAddressWindow(HWND owner, const std::wstring& address);
// Closes it; its owner is closing.
void CloseAddressWindow();

}  // namespace app
