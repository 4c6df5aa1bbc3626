// The main window: the repair run behind "Start", "Close", the details of
// each step, and the link to the maker's page.
#pragma once

#include <functional>
#include <memory>

#include "app/console_runner.h"
#include "app/frm_details.h"
#include "app/host/form.h"
#include "app/network_reading.h"
#include "app/repair_sequence.h"
#include "app/taskbar_progress.h"

namespace app {

inline constexpr const wchar_t* kMakerPageUrl = L"https://www.facebook.com/zelbrin";
inline constexpr const wchar_t* kStatusListName = L"Repair progress";
inline constexpr const wchar_t* kStatusListDescription =
    L"Double-click a line, or press Enter on it, to see the whole text of its step";
inline constexpr const wchar_t* kCutLineHint = L"Double-click or press Enter to see the step's whole text.";

// What the window does to the world outside it; tests put stand-ins here.
struct MainWindowActions {
    std::function<CommandResult(const std::wstring& commandLine, const KeepWaiting& keepWaiting)> runCommand =
        RunSystemCommand;
    std::function<void(HWND owner, const wchar_t* address)> openPage = OpenWithShell;
    std::function<NetworkReading()> readNetwork = ReadSystemNetwork;
    std::function<ConnectivityReading()> readConnectivity = ReadSystemConnectivity;

    static void OpenWithShell(HWND owner, const wchar_t* address);
};

class FrmMain : public host::Form, private RepairWindow {
public:
    explicit FrmMain(host::FormObject description, MainWindowActions actions = {});

    // The details window, once a step's line has been opened.
    FrmDetails* Details() const { return details_.get(); }

protected:
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload(bool& cancel) override;
    bool Form_QueryEndSession() override;

private:
    void Command2_Click();
    void Command1_Click();
    void Timer1_Timer();
    void List1_DblClick();
    void OpenMakerPage();
    void Teardown();

    // RepairWindow
    void SetCloseEnabled(bool enabled) override;
    void SetStartEnabled(bool enabled) override;
    void ClearStatus() override;
    void AppendStatus(const std::wstring& line, const std::wstring& whole) override;
    bool StatusLineFits(const std::wstring& line) const override;
    void ProcessPendingMessages() override;
    CommandResult RunCommand(const std::wstring& commandLine) override;
    void StopTimer() override;
    void HoldEndSession(bool hold) override;
    void ShowProgress(size_t stepsDone, bool failed) override;
    void ClearProgress() override;
    bool IsClosing() const override;
    NetworkReading ReadNetwork() override { return actions_.readNetwork(); }
    ConnectivityReading ReadConnectivity() override { return actions_.readConnectivity(); }

    MainWindowActions actions_;
    RepairSequence repair_;
    TaskbarProgress taskbar_;
    std::unique_ptr<FrmDetails> details_;
};

}  // namespace app
