#include "app/frm_main.h"

#include <iterator>

#include "app/frm_address.h"
#include "app/host/message_pump.h"
#include "app/mdXpThemeSupport.h"
#include "app/open_link.h"
#include "common/system_library.h"

namespace app {
namespace {

// Vista and later; without them the end-session answer alone holds the system.
using BlockReasonCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
using BlockReasonDestroy = BOOL(WINAPI*)(HWND);

}  // namespace

void MainWindowActions::OpenWithShell(HWND owner, const wchar_t* address) { OpenLinkFrom(owner, address); }

FrmMain::FrmMain(host::FormObject description, MainWindowActions actions)
    : host::Form(std::move(description)), actions_(std::move(actions)) {}

void FrmMain::Form_Load() {
    Get<host::PushButton>("Command2").onClick = [this] { Command2_Click(); };
    Get<host::PushButton>("Command1").onClick = [this] { Command1_Click(); };
    Get<host::Timer>("Timer1").onTimer = [this] { Timer1_Timer(); };
    Get<host::ListBox>("List1").onDblClick = [this] { List1_DblClick(); };
    Get<host::Picture>("Image2").onClick = [this] { OpenMakerPage(); };
    Get<host::Label>("Label4").onClick = [this] { OpenMakerPage(); };
    // Keyboard and screen readers: the label is the link (the picture beside
    // it repeats it for the mouse), and the list explains itself and reads
    // out each line as the run adds it.
    Get<host::Label>("Label4").ActAsLink();
    Get<host::ListBox>("List1").Describe(kStatusListName, kStatusListDescription);
    Get<host::ListBox>("List1").ShowCutLinesInTips(kCutLineHint);
    mdXpThemeSupport::FixThemeSupport(Controls());  // nothing to do here without frames or graphical buttons
}

void FrmMain::Command2_Click() { Get<host::Timer>("Timer1").SetEnabled(true); }

void FrmMain::Command1_Click() { Unload(); }

void FrmMain::Timer1_Timer() { repair_.OnTimerTick(*this); }

void FrmMain::List1_DblClick() {
    if (IsClosing()) return;  // a click queued behind the close
    int line = Get<host::ListBox>("List1").ListIndex();
    if (line < 0) return;
    const StepRecord* step = repair_.StepAtLine(static_cast<size_t>(line));
    const bool network = repair_.IsNetworkLine(static_cast<size_t>(line));
    if (!step && !network) return;
    if (!details_) {
        host::ParsedForm parsed = host::LoadFormResource(L"FRMDETAILS");
        if (!parsed.ok) return;
        details_ = std::make_unique<FrmDetails>(std::move(parsed.form), Window());
    }
    details_->ShowDetails(step ? StepDetails(*step) : repair_.NetworkDetails(), [this] { return repair_.Report(); });
}

void FrmMain::OpenMakerPage() {
    if (!IsClosing()) actions_.openPage(Window(), kMakerPageUrl);
}

void FrmMain::Form_QueryUnload(bool& cancel) {
    // A repair stopped half way can leave the machine without an address.
    if (repair_.IsRunning()) {
        cancel = true;
        return;
    }
    Teardown();
}

void FrmMain::Form_Unload(bool&) { Teardown(); }

bool FrmMain::Form_QueryEndSession() { return repair_.AllowsEndSession(); }

void FrmMain::Teardown() {
    if (details_) details_->Unload();
    CloseAddressWindow();
    for (size_t i = 0; i < Controls().size(); ++i) host::ProcessPendingMessages();
    Unload();  // already under way: the host ignores the nested request
}

void FrmMain::SetCloseEnabled(bool enabled) {
    Get<host::PushButton>("Command1").SetEnabled(enabled);
    // The close box and Alt+F4 follow the system menu's Close.
    if (HMENU menu = GetSystemMenu(Window(), FALSE))
        EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void FrmMain::SetStartEnabled(bool enabled) { Get<host::PushButton>("Command2").SetEnabled(enabled); }

void FrmMain::ClearStatus() {
    // Its step is gone from the list: a new run closes it.
    if (details_) details_->Unload();
    Get<host::ListBox>("List1").Clear();
}

void FrmMain::AppendStatus(const std::wstring& line, const std::wstring& whole) {
    auto& list = Get<host::ListBox>("List1");
    list.AddItem(line, whole);
    // Failure lines make the run longer than the list: keep the newest in view.
    SendMessageW(list.Window(), LB_SETTOPINDEX, static_cast<WPARAM>(list.ListCount() - 1), 0);
}

bool FrmMain::StatusLineFits(const std::wstring& line) const { return Get<host::ListBox>("List1").TextFits(line); }

void FrmMain::ProcessPendingMessages() { host::ProcessPendingMessages(); }

CommandResult FrmMain::RunCommand(const std::wstring& commandLine) {
    // Keep painting while the command runs; stop waiting if the window is gone.
    return actions_.runCommand(commandLine, [this] {
        host::ProcessPendingMessages();
        return !IsClosing();
    });
}

void FrmMain::StopTimer() { Get<host::Timer>("Timer1").SetEnabled(false); }

void FrmMain::HoldEndSession(bool hold) {
    if (!Window()) return;
    static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    static const auto create = win32::Export<BlockReasonCreate>(user32, "ShutdownBlockReasonCreate");
    static const auto destroy = win32::Export<BlockReasonDestroy>(user32, "ShutdownBlockReasonDestroy");
    if (hold && create) create(Window(), kEndSessionReason);
    if (!hold && destroy) destroy(Window());
}

void FrmMain::ShowProgress(size_t stepsDone, bool failed) {
    if (Window()) taskbar_.Show(Window(), stepsDone, std::size(kRepairSteps), failed);
}

void FrmMain::ClearProgress() {
    if (Window()) taskbar_.Clear(Window());
}

bool FrmMain::IsClosing() const { return IsUnloading() || !IsLoaded(); }

}  // namespace app
