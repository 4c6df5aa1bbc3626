// The main window: the repair run behind "Start", "Close", and the link to
// the maker's page.
#pragma once

#include <functional>

#include "app/console_runner.h"
#include "app/host/form.h"
#include "app/repair_sequence.h"

namespace app {

inline constexpr const wchar_t* kMakerPageUrl = L"https://www.facebook.com/zelbrin";

// What the window does to the world outside it; tests put stand-ins here.
struct MainWindowActions {
    std::function<std::wstring(const std::wstring& commandLine, const KeepWaiting& keepWaiting)> runCommand =
        RunSystemCommand;
    std::function<void(HWND owner, const wchar_t* address)> openPage = OpenWithShell;

    static void OpenWithShell(HWND owner, const wchar_t* address);
};

class FrmMain : public host::Form, private RepairWindow {
public:
    explicit FrmMain(host::FormObject description, MainWindowActions actions = {});

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload(bool& cancel) override;

private:
    void Command2_Click();
    void Command1_Click();
    void Timer1_Timer();
    void OpenMakerPage();
    void Teardown();

    // RepairWindow
    void SetCloseEnabled(bool enabled) override;
    void SetStartEnabled(bool enabled) override;
    void ClearStatus() override;
    void AppendStatus(const std::wstring& line) override;
    void ProcessPendingMessages() override;
    std::wstring RunCommand(const std::wstring& commandLine) override;
    void StopTimer() override;
    bool IsClosing() const override;

    MainWindowActions actions_;
    RepairSequence repair_;
};

}  // namespace app
