// The window that shows what one repair step did, owned by the main window:
// its text can be selected and copied, and "Copy" (or Ctrl+C with nothing
// selected) puts the report of the whole run, as it is at that moment, on
// the clipboard.
#pragma once

#include <functional>
#include <string>

#include "app/host/form.h"

namespace app {

class FrmDetails : public host::Form {
public:
    FrmDetails(host::FormObject description, HWND owner);

    using Report = std::function<std::wstring()>;
    // Shows details; "Copy" asks report for the text. Loads the window first
    // where needed.
    bool ShowDetails(const std::wstring& details, Report report);

protected:
    void Form_Load() override;
    void Form_DpiChanged() override;

private:
    void CopyReport();

    Report report_;
    win32::Font outputFont_;
};

}  // namespace app
