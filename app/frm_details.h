// The window that shows what one repair step did, owned by the main window:
// its text can be selected and copied, and "Copy" (or Ctrl+C with nothing
// selected) puts the report of the whole run on the clipboard.
#pragma once

#include <string>

#include "app/host/form.h"

namespace app {

class FrmDetails : public host::Form {
public:
    FrmDetails(host::FormObject description, HWND owner);

    // Shows details, keeping report for "Copy"; loads the window first where needed.
    bool ShowDetails(const std::wstring& details, const std::wstring& report);

protected:
    void Form_Load() override;

private:
    void CopyReport();

    std::wstring report_;
    win32::Font outputFont_;
};

}  // namespace app
