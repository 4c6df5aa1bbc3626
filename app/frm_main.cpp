#include "app/frm_main.h"

#include <shellapi.h>

#include "app/host/message_pump.h"
#include "app/mdXpThemeSupport.h"

namespace app {

void MainWindowActions::OpenWithShell(HWND owner, const wchar_t* address) {
    ShellExecuteW(owner, L"Open", address, L"", L"", SW_SHOWNORMAL);  // nothing is shown on failure
}

FrmMain::FrmMain(host::FormObject description, MainWindowActions actions)
    : host::Form(std::move(description)), actions_(std::move(actions)) {}

void FrmMain::Form_Load() {
    Get<host::PushButton>("Command2").onClick = [this] { Command2_Click(); };
    Get<host::PushButton>("Command1").onClick = [this] { Command1_Click(); };
    Get<host::Timer>("Timer1").onTimer = [this] { Timer1_Timer(); };
    Get<host::Picture>("Image2").onClick = [this] { OpenMakerPage(); };
    Get<host::Label>("Label4").onClick = [this] { OpenMakerPage(); };
    mdXpThemeSupport::FixThemeSupport(Controls());  // nothing to do here without frames or graphical buttons
}

void FrmMain::Command2_Click() { Get<host::Timer>("Timer1").SetEnabled(true); }

void FrmMain::Command1_Click() { Unload(); }

void FrmMain::Timer1_Timer() { repair_.OnTimerTick(*this); }

void FrmMain::OpenMakerPage() { actions_.openPage(Window(), kMakerPageUrl); }

void FrmMain::Form_QueryUnload(bool&) { Teardown(); }

void FrmMain::Form_Unload(bool&) { Teardown(); }

void FrmMain::Teardown() {
    for (size_t i = 0; i < Controls().size(); ++i) host::ProcessPendingMessages();
    Unload();  // already under way: the host ignores the nested request
}

void FrmMain::SetCloseEnabled(bool enabled) { Get<host::PushButton>("Command1").SetEnabled(enabled); }

void FrmMain::SetStartEnabled(bool enabled) { Get<host::PushButton>("Command2").SetEnabled(enabled); }

void FrmMain::ClearStatus() { Get<host::ListBox>("List1").Clear(); }

void FrmMain::AppendStatus(const std::wstring& line) { Get<host::ListBox>("List1").AddItem(line); }

void FrmMain::ProcessPendingMessages() { host::ProcessPendingMessages(); }

std::wstring FrmMain::RunCommand(const std::wstring& commandLine) {
    // Keep painting while the command runs; stop waiting once the window closes.
    return actions_.runCommand(commandLine, [this] {
        host::ProcessPendingMessages();
        return !IsClosing();
    });
}

void FrmMain::StopTimer() { Get<host::Timer>("Timer1").SetEnabled(false); }

bool FrmMain::IsClosing() const { return IsUnloading() || !IsLoaded(); }

}  // namespace app
