// The main window in process, with the commands and the shell stood in for:
// the real form, timer, buttons and message handling.
#include "app/frm_main.h"

#include <gtest/gtest.h>

#include "app/tests/clipboard_reader.h"
#include "app/tests/expected_status_lines.h"
#include "app/tests/screenshot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/frm_address.h"
#include "app/host/message_pump.h"
#include "app/tests/xdotool.h"
#include "common/accessible_overrides.h"
#include "imagecore/c32bppDIB.h"

namespace app {
namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { DropQuitRequests(); }
    void TearDown() override {
        if (window_) window_->Unload();
        DropQuitRequests();
    }

    static void DropQuitRequests() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    FrmMain& Open() {
        host::ParsedForm parsed = host::LoadFormResource(L"FRMMAIN");
        EXPECT_TRUE(parsed.ok) << parsed.error;
        MainWindowActions actions;
        actions.runCommand = [this](const std::wstring& commandLine, const KeepWaiting& keepWaiting) {
            commands_.push_back(commandLine);
            if (onCommand_) onCommand_(keepWaiting);
            return commandResult_;
        };
        actions.openPage = [this](HWND owner, const wchar_t* address) { pages_.emplace_back(owner, address); };
        actions.readNetwork = [] { return NetworkReading{true, {}, {}}; };
        actions.readConnectivity = [] { return ConnectivityReading{true, {}, Connectivity::None}; };
        window_ = std::make_unique<FrmMain>(std::move(parsed.form), actions);
        EXPECT_TRUE(window_->Load());
        window_->Show();
        return *window_;
    }

    std::vector<std::wstring> Lines() const {
        auto& list = window_->Get<host::ListBox>("List1");
        std::vector<std::wstring> lines;
        for (int i = 0; i < list.ListCount(); ++i) lines.push_back(list.List(i));
        return lines;
    }

    bool Idle() const {
        return window_->Get<host::PushButton>("Command2").Enabled() &&
               window_->Get<host::PushButton>("Command1").Enabled() && !window_->Get<host::Timer>("Timer1").Enabled();
    }

    // Processes messages until the condition holds or the time is up.
    template <class Condition>
    static bool PumpUntil(Condition done, DWORD milliseconds = 5000) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(5)) {
            host::ProcessPendingMessages();
            if (done()) return true;
        }
        return false;
    }

    static void Click(HWND control) {
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    std::unique_ptr<FrmMain> window_;
    std::vector<std::wstring> commands_;
    std::vector<std::pair<HWND, std::wstring>> pages_;
    std::function<void(const KeepWaiting&)> onCommand_;
    CommandResult commandResult_{L"output", {}};
};

TEST_F(MainWindow, StartArmsTheTimerWhoseTickRunsTheRepairOnce) {
    FrmMain& window = Open();
    std::vector<bool> busyDuringCommands;
    onCommand_ = [&](const KeepWaiting& keepWaiting) {
        busyDuringCommands.push_back(!window.Get<host::PushButton>("Command2").Enabled() &&
                                     !window.Get<host::PushButton>("Command1").Enabled() &&
                                     window.Get<host::Timer>("Timer1").Enabled());
        // A slow command: several timer intervals pass while messages are processed.
        for (DWORD start = GetTickCount(); GetTickCount() - start < 250 && keepWaiting(); Sleep(10)) {
        }
    };
    EXPECT_FALSE(window.Get<host::Timer>("Timer1").Enabled());
    SendMessageW(window.Get<host::PushButton>("Command2").Window(), BM_CLICK, 0, 0);
    EXPECT_TRUE(window.Get<host::Timer>("Timer1").Enabled());  // armed; the run starts on the tick

    ASSERT_TRUE(PumpUntil([&] { return Idle() && Lines().size() == 7; }));
    EXPECT_EQ(Lines(), ExpectedStatusLines(L"No network adapter is connected"));
    EXPECT_EQ(commands_, (std::vector<std::wstring>{L"ipconfig /release", L"ipconfig /flushdns",
                                                    L"ipconfig /registerdns", L"ipconfig /renew"}));
    EXPECT_EQ(busyDuringCommands, std::vector<bool>(4, true));

    // Nothing more happens until the next press (several timer intervals).
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(commands_.size(), 4u);
}

TEST_F(MainWindow, ClosingAndEndingTheSessionWaitForTheRun) {
    FrmMain& window = Open();
    HWND hwnd = window.Window();
    std::vector<std::wstring> duringRun;
    onCommand_ = [&](const KeepWaiting& keepWaiting) {
        if (commands_.size() != 2) return;
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        keepWaiting();
        UINT closeState = GetMenuState(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
        duringRun = {window.IsLoaded() ? L"open" : L"closed", (closeState & MF_GRAYED) ? L"greyed" : L"enabled",
                     SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0) ? L"end allowed" : L"end held"};
    };
    SendMessageW(window.Get<host::PushButton>("Command2").Window(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && Lines().size() == 7; }));
    EXPECT_EQ(duringRun, (std::vector<std::wstring>{L"open", L"greyed", L"end held"}));
    EXPECT_EQ(commands_.size(), 4u);  // the run went on to its end
    EXPECT_FALSE(GetMenuState(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0));
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.IsLoaded());
}

// The details opened mid-run copy the whole run once it is over; a new run
// takes them away with the list they came from.
TEST_F(MainWindow, DetailsFollowTheCurrentRun) {
    FrmMain& window = Open();
    HWND list = window.Get<host::ListBox>("List1").Window();
    onCommand_ = [&](const KeepWaiting& keepWaiting) {
        if (commands_.size() != 3 || window.Details()) return;
        SetFocus(list);
        SendMessageW(list, LB_SETCURSEL, 1, 0);
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);  // posted: Enter is seen by the message loop
        keepWaiting();
    };
    SendMessageW(window.Get<host::PushButton>("Command2").Window(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && Lines().size() == 7; }));
    ASSERT_TRUE(window.Details() && window.Details()->IsLoaded()) << "Enter during the run opened nothing";

    EmptyTheClipboard();
    SendMessageW(window.Details()->Get<host::PushButton>("Command1").Window(), BM_CLICK, 0, 0);
    const std::wstring report = ClipboardText();
    for (const wchar_t* command : {L"ipconfig /release", L"ipconfig /flushdns", L"ipconfig /registerdns",
                                   L"ipconfig /renew"})
        EXPECT_NE(report.find(std::wstring(L"Command: ") + command), std::wstring::npos) << command;

    onCommand_ = nullptr;
    SendMessageW(window.Get<host::PushButton>("Command2").Window(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return commands_.size() == 8 && Idle(); }));
    EXPECT_FALSE(window.Details()->IsLoaded());
}

// A double-click or Enter queued behind the close opens nothing.
TEST_F(MainWindow, NothingOpensOnceClosingHasBegun) {
    FrmMain& window = Open();
    SendMessageW(window.Get<host::PushButton>("Command2").Window(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && Lines().size() == 7; }));
    HWND list = window.Get<host::ListBox>("List1").Window();
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    PostMessageW(window.Window(), WM_CLOSE, 0, 0);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(window.Get<host::Label>("Label4").Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(window.Get<host::Label>("Label4").Window(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PumpUntil([&] { return !window.IsLoaded(); });
    EXPECT_FALSE(window.IsLoaded());
    EXPECT_EQ(window.Details(), nullptr);
    EXPECT_TRUE(pages_.empty());
}

TEST_F(MainWindow, PictureAndLabelOpenTheMakersPage) {
    FrmMain& window = Open();
    Click(window.Get<host::Picture>("Image2").Window());
    Click(window.Get<host::Label>("Label4").Window());
    host::ProcessPendingMessages();
    ASSERT_EQ(pages_.size(), 2u);
    for (const auto& [owner, address] : pages_) {
        EXPECT_EQ(owner, window.Window());
        EXPECT_EQ(address, kMakerPageUrl);
    }
}

// What an elevated program shows when the desktop shell cannot open the page.
TEST_F(MainWindow, TheAddressWindowOffersTheAddressToCopy) {
    FrmMain& window = Open();
    ShowAddressWindow(window.Window(), kMakerPageUrl);
    HWND shown = FindWindowW(nullptr, L"Web Address");
    ASSERT_TRUE(shown && IsWindowVisible(shown));
    EXPECT_EQ(GetWindow(shown, GW_OWNER), window.Window());
    HWND text = FindWindowExW(shown, nullptr, L"Edit", nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(GetWindowLongW(text, GWL_STYLE) & ES_READONLY);
    wchar_t address[128] = {};
    GetWindowTextW(text, address, 128);
    EXPECT_STREQ(address, kMakerPageUrl);
    EmptyTheClipboard();
    SendMessageW(FindWindowExW(shown, nullptr, L"Button", L"Copy"), BM_CLICK, 0, 0);
    EXPECT_EQ(ClipboardText(), kMakerPageUrl);
    PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(shown); })) << "Esc did not close it";
}

size_t gLiveRegionChanges = 0;
HWND gLiveRegion = nullptr;
void CALLBACK CountLiveRegionChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (window == gLiveRegion && object == OBJID_CLIENT && child == CHILDID_SELF) ++gLiveRegionChanges;
}

// What a screen reader hears of a window: its name, description and role.
struct Heard {
    std::wstring name, description;
    LONG role = 0;
};
Heard HeardOf(HWND window) {
    Heard heard;
    IAccessible* accessible = nullptr;
    if (AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), win32::kIAccessibleId,
                                   reinterpret_cast<void**>(&accessible)) != S_OK)
        return heard;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (accessible->get_accName(self, &text) == S_OK && text) heard.name = text;
    SysFreeString(std::exchange(text, nullptr));
    if (accessible->get_accDescription(self, &text) == S_OK && text) heard.description = text;
    SysFreeString(text);
    VARIANT role{};
    if (accessible->get_accRole(self, &role) == S_OK && role.vt == VT_I4) heard.role = role.lVal;
    accessible->Release();
    return heard;
}

TEST_F(MainWindow, TheKeyboardReachesEverythingAndScreenReadersHearWhatHappens) {
    FrmMain& window = Open();
    const HWND start = window.Get<host::PushButton>("Command2").Window();
    const HWND close = window.Get<host::PushButton>("Command1").Window();
    const HWND list = window.Get<host::ListBox>("List1").Window();
    const HWND link = window.Get<host::Label>("Label4").Window();
    SetForegroundWindow(window.Window());
    SetFocus(start);
    for (HWND next : {close, list, link}) {
        ASSERT_TRUE(Xdotool(L"key Tab"));
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == next; })) << "Tab did not reach the next control";
    }
    ASSERT_TRUE(Xdotool(L"key Return"));
    ASSERT_TRUE(PumpUntil([&] { return pages_.size() == 1; })) << "Enter on the link";
    ASSERT_TRUE(Xdotool(L"key space"));
    ASSERT_TRUE(PumpUntil([&] { return pages_.size() == 2; })) << "Space on the link";

    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const Heard linkHeard = HeardOf(link), listHeard = HeardOf(list);
    EXPECT_EQ(linkHeard.role, ROLE_SYSTEM_LINK);
    EXPECT_EQ(linkHeard.name, L"Follow Zelbrin on Facebook");
    EXPECT_EQ(listHeard.name, kStatusListName);
    EXPECT_EQ(listHeard.description, kStatusListDescription);
    CoUninitialize();

    // Each line the run adds is announced.
    gLiveRegion = list;
    gLiveRegionChanges = 0;
    const HWINEVENTHOOK hook = SetWinEventHook(0x8019, 0x8019, nullptr, CountLiveRegionChange, 0, 0,
                                               WINEVENT_OUTOFCONTEXT);
    SendMessageW(start, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && Lines().size() == 7; }));
    PumpUntil([] { return gLiveRegionChanges >= 7; });
    UnhookWinEvent(hook);
    EXPECT_EQ(gLiveRegionChanges, 7u);

    // A line cut to the list's width: its tip tells it whole, and what opens its step.
    commandResult_ = {L"Error: Unknown or invalid command line parameters specified\r\n", {CommandEnd::Exited, 1}};
    SendMessageW(start, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && Lines().size() == 11; }));
    const auto& lines = window.Get<host::ListBox>("List1");
    ASSERT_TRUE(Lines()[2].ends_with(L"...")) << "the failure line is cut";
    EXPECT_EQ(lines.TipText(2),
              L"    exit code 1: Error: Unknown or invalid command line parameters specified\n" +
                  std::wstring(kCutLineHint));
    EXPECT_EQ(lines.TipText(1), L"") << "a line shown whole has no tip";
    // The pointer over it brings the tip up.
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    RECT line{};
    SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&line));
    POINT over{line.left + 20, (line.top + line.bottom) / 2};
    ClientToScreen(list, &over);
    ASSERT_TRUE(MoveTo({over.x - 30, over.y - 30}));
    ASSERT_TRUE(MoveTo(over));
    HWND tip = nullptr;
    PumpUntil([&] {
        tip = FindWindowW(L"tooltips_class32", nullptr);
        while (tip && !IsWindowVisible(tip)) tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr);
        return tip != nullptr;
    });
    EXPECT_TRUE(tip) << "no tip over the cut line";
}

// The window moved to a monitor of 144 DPI: it takes the system's rectangle,
// its controls and font scale by 1.5, and the artwork is the picture drawn
// at 192 pixels, not the 128-pixel drawing stretched.
TEST_F(MainWindow, FollowsAMoveToAMonitorOfAnotherDpi) {
    FrmMain& window = Open();
    const HWND form = window.Window();
    constexpr int kDpi = 144;
    const auto px = [](int twips) { return MulDiv(twips, kDpi, 1440); };
    RECT frame{0, 0, px(5325), px(2295)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE)));
    OffsetRect(&frame, 50 - frame.left, 40 - frame.top);
    SendMessageW(form, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&frame));
    RECT client, list;
    GetClientRect(form, &client);
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom}), std::vector<LONG>({px(5325), px(2295)}));
    const HWND listWindow = window.Get<host::ListBox>("List1").Window();
    GetWindowRect(listWindow, &list);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(std::vector<LONG>({list.left, list.top, list.right - list.left, list.bottom - list.top}),
              std::vector<LONG>({px(2040), px(60), px(3225), px(1470)}));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(listWindow, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -std::lround(6.75 * kDpi / 72));

    // The reference: the artwork scaled from the picture, over the form's face.
    HRSRC found = FindResourceW(nullptr, L"ARTWORK", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    ASSERT_TRUE(found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    c32bppDIB picture(0);
    ASSERT_TRUE(picture.LoadPicture_Stream(std::vector<uint8_t>(bytes, bytes + SizeofResource(nullptr, found))));
    picture.SetHighQualityInterpolation(true);
    std::unique_ptr<c32bppDIB> scaled;
    picture.CopyImageTo(scaled, 192, 192);
    ASSERT_TRUE(scaled);
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const RECT art{px(60), px(60), px(60) + 192, px(60) + 192};
    const std::vector<uint32_t> shown = PixelsOf(form, art);
    ASSERT_EQ(shown.size(), 192u * 192u);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    double total = 0;
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 192; ++x) {
            const uint8_t* p = scaled->Pixels().PictureRow(y) + x * 4;
            const uint32_t got = shown[static_cast<size_t>(y) * 192 + x];
            int worst = 0;
            for (int c = 0; c < 3; ++c) {  // premultiplied picture over the face
                const int back = c == 0 ? GetBValue(face) : c == 1 ? GetGValue(face) : GetRValue(face);
                const int want = p[c] + (back * (255 - p[3]) + 127) / 255;
                worst = std::max(worst, std::abs(static_cast<int>(got >> (8 * c) & 0xFF) - want));
            }
            total += worst;
        }
    EXPECT_LT(total / (192.0 * 192.0), 3.0) << "the artwork is not the picture drawn at 192 pixels";
}

TEST_F(MainWindow, CloseUnloadsTheWindowAndEndsTheLoop) {
    FrmMain& window = Open();
    PostMessageW(window.Get<host::PushButton>("Command1").Window(), BM_CLICK, 0, 0);
    EXPECT_EQ(host::RunMessageLoop(), 0);
    EXPECT_FALSE(window.IsLoaded());
}

}  // namespace
}  // namespace app
