#include "app/frm_details.h"

#include "app/clipboard_text.h"

namespace app {
namespace {

host::FormOptions OwnedBy(HWND owner) {
    host::FormOptions options;
    options.owner = owner;
    options.quitWhenLastUnloads = false;  // closing it leaves the program running
    return options;
}

constexpr int kOutputFontPoints = 9;

// Asked for by pitch as well as by name, so that where "Courier New" is
// missing another fixed-pitch face keeps the command's columns.
win32::Font OutputFont(int dpi) {
    return win32::Font(CreateFontW(-MulDiv(kOutputFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   FIXED_PITCH | FF_MODERN, L"Courier New"));
}

}  // namespace

FrmDetails::FrmDetails(host::FormObject description, HWND owner) : host::Form(std::move(description), OwnedBy(owner)) {}

void FrmDetails::Form_Load() {
    Form_DpiChanged();
    Get<host::PushButton>("Command1").onClick = [this] { CopyReport(); };
    Get<host::PushButton>("Command2").onClick = [this] { Unload(); };
    Get<host::TextBox>("Text1").onCopyNothingSelected = [this] {
        CopyReport();
        return true;
    };
}

void FrmDetails::Form_DpiChanged() {
    outputFont_ = OutputFont(DpiY());
    HWND text = Get<host::TextBox>("Text1").Window();
    if (outputFont_) SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(outputFont_.get()), TRUE);
}

bool FrmDetails::ShowDetails(const std::wstring& details, Report report) {
    if (!Load()) return false;
    report_ = std::move(report);
    auto& text = Get<host::TextBox>("Text1");
    text.SetText(details);
    Show();
    SetForegroundWindow(Window());
    SetFocus(text.Window());
    SendMessageW(text.Window(), EM_SETSEL, 0, 0);  // nothing selected: Ctrl+C copies the report
    return true;
}

void FrmDetails::CopyReport() {
    if (report_) PutTextOnClipboard(Window(), report_());
}

}  // namespace app
