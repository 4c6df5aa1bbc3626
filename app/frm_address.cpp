#include "app/frm_address.h"

#include <memory>

#include "app/clipboard_text.h"

namespace app {

FrmAddress::FrmAddress(host::FormObject description, HWND owner)
    : host::Form(std::move(description), [owner] {
          host::FormOptions options;
          options.owner = owner;
          options.quitWhenLastUnloads = false;  // closing it leaves the program running
          return options;
      }()) {}

void FrmAddress::Form_Load() {
    Get<host::PushButton>("Command1").onClick = [this] { PutTextOnClipboard(Window(), address_); };
    Get<host::PushButton>("Command2").onClick = [this] { Unload(); };
}

bool FrmAddress::ShowAddress(const std::wstring& address) {
    if (!Load()) return false;
    address_ = address;
    auto& text = Get<host::TextBox>("Text1");
    text.SetText(address);
    Show();
    SetForegroundWindow(Window());
    SetFocus(text.Window());
    SendMessageW(text.Window(), EM_SETSEL, 0, -1);  // ready for Ctrl+C
    return true;
}

namespace {

std::unique_ptr<FrmAddress>& AddressWindow() {
    static std::unique_ptr<FrmAddress> window;
    return window;
}

}  // namespace

void CloseAddressWindow() { AddressWindow().reset(); }

void ShowAddressWindow(HWND owner, const std::wstring& address) {
    std::unique_ptr<FrmAddress>& shown = AddressWindow();
    // Closed, or destroyed with an earlier owner (the form does not notice
    // that): made anew.
    if (shown && (!IsWindow(shown->Window()) || GetWindow(shown->Window(), GW_OWNER) != owner)) shown.reset();
    if (!shown) {
        host::ParsedForm parsed = host::LoadFormResource(L"FRMADDRESS");
        if (!parsed.ok) return;
        shown = std::make_unique<FrmAddress>(std::move(parsed.form), owner);
    }
    shown->ShowAddress(address);
}

}  // namespace app
