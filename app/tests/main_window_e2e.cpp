// Drives the real mendlow.exe from outside, as a user would: the window, its
// controls, a repair run, a second run, the link under the buttons, and
// closing.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/program_folder.h"

#include "app/network_reading.h"
#include "app/tests/clipboard_reader.h"
#include "app/tests/expected_status_lines.h"
#include "app/tests/list_lines.h"
#include "app/tests/registry_value_scope.h"
#include "app/tests/running_program.h"
#include "app/tests/screenshot.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/win32_handles.h"

namespace {

struct Child {
    HWND window;
    std::wstring windowClass;
    std::wstring text;
    RECT rect;  // in the parent's client coordinates
};

struct ChildWalk {
    HWND parent;
    std::vector<Child> children;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
    auto* walk = reinterpret_cast<ChildWalk*>(context);
    Child child{window, {}, {}, {}};
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    child.windowClass = buffer;
    GetWindowTextW(window, buffer, 256);
    child.text = buffer;
    GetWindowRect(window, &child.rect);
    MapWindowPoints(nullptr, walk->parent, reinterpret_cast<POINT*>(&child.rect), 2);
    walk->children.push_back(child);
    return TRUE;
}

std::vector<Child> ChildrenOf(HWND parent) {
    ChildWalk walk{parent, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&walk));
    return walk.children;
}

const Child* FindChild(const std::vector<Child>& children, const wchar_t* windowClass, const wchar_t* text) {
    for (const Child& child : children)
        if (_wcsicmp(child.windowClass.c_str(), windowClass) == 0 && (text == nullptr || child.text == text))
            return &child;
    return nullptr;
}

// Waits until a run has finished: its lines and both buttons enabled again.
bool WaitForIdleAfterRun(HWND list, HWND start, HWND close, DWORD timeoutMs, size_t& mostLines) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        size_t count = static_cast<size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        mostLines = std::max(mostLines, count);
        if (count == kWineRunLineCount && IsWindowEnabled(start) && IsWindowEnabled(close)) return true;
        Sleep(50);
    }
    return false;
}

TEST(MainWindow, ShowsItsControlsRunsTheRepairAndCloses) {
    RunningProgram program;
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForMainWindow(60000);
    ASSERT_NE(window, nullptr) << "the main window did not appear";

    int dpi = 96;
    {
        win32::WindowDc screen(nullptr);
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    }
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(5325));
    EXPECT_EQ(client.bottom, px(2295));

    std::vector<Child> children = ChildrenOf(window);
    const Child* start = FindChild(children, L"Button", L"Start");
    const Child* close = FindChild(children, L"Button", L"Close");
    const Child* list = FindChild(children, L"ListBox", nullptr);
    const Child* label = FindChild(children, L"Static", L"Follow Zelbrin on Facebook");
    ASSERT_TRUE(start && close && list && label);
    auto expectRect = [&](const Child& child, int left, int top, int width, int height) {
        EXPECT_EQ(child.rect.left, px(left)) << child.text;
        EXPECT_EQ(child.rect.top, px(top)) << child.text;
        EXPECT_EQ(child.rect.right - child.rect.left, px(width)) << child.text;
        EXPECT_EQ(child.rect.bottom - child.rect.top, px(height)) << child.text;
    };
    expectRect(*start, 2040, 1620, 1365, 345);
    expectRect(*close, 3900, 1620, 1365, 345);
    expectRect(*list, 2040, 60, 3225, 1470);
    expectRect(*label, 2310, 2040, 2340, 180);
    EXPECT_TRUE(ListLines(list->window).empty());

    SetForegroundWindow(window);
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot(window, win32::ProgramFolder() + L"main-window.bmp"));

    size_t mostLines = 0;
    SendMessageW(start->window, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitForIdleAfterRun(list->window, start->window, close->window, 120000, mostLines));
    EXPECT_TRUE(IsWineRun(ListLines(list->window)));
    EXPECT_EQ(mostLines, kWineRunLineCount);

    // A second press runs again on a cleared list.
    SendMessageW(list->window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"marker"));
    ASSERT_EQ(ListLines(list->window).size(), kWineRunLineCount + 1);
    SendMessageW(start->window, BM_CLICK, 0, 0);
    Sleep(200);
    mostLines = 0;
    ASSERT_TRUE(WaitForIdleAfterRun(list->window, start->window, close->window, 120000, mostLines));
    EXPECT_TRUE(IsWineRun(ListLines(list->window)));
    SaveScreenshot(window, win32::ProgramFolder() + L"main-window-after-run.bmp");

    SendMessageW(close->window, BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(30000), 0);
}

// Also the smoke test of a build that runs only through an emulator, where a
// start takes a minute: hence the long wait.
TEST(MainWindow, OpensAndClosesWithTheCloseButton) {
    RunningProgram program;
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForMainWindow(300000);
    ASSERT_NE(window, nullptr) << "the main window did not appear";
    std::vector<Child> children = ChildrenOf(window);
    const Child* close = FindChild(children, L"Button", L"Close");
    ASSERT_TRUE(close);
    SendMessageW(close->window, BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(120000), 0);
}

struct StartedWindow {
    HWND window = nullptr, start = nullptr, close = nullptr, list = nullptr;
};

StartedWindow ControlsOf(HWND window) {
    std::vector<Child> children = ChildrenOf(window);
    const Child* start = FindChild(children, L"Button", L"Start");
    const Child* close = FindChild(children, L"Button", L"Close");
    const Child* list = FindChild(children, L"ListBox", nullptr);
    if (!start || !close || !list) return {};
    return {window, start->window, close->window, list->window};
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    LRESULT length = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The details window the main window owns, once it has appeared.
HWND WaitForDetails(HWND owner) {
    for (int waited = 0; waited < 10000; waited += 50) {
        HWND details = FindWindowW(nullptr, L"Repair Details");
        if (details && GetWindow(details, GW_OWNER) == owner && IsWindowVisible(details)) return details;
        Sleep(50);
    }
    return nullptr;
}

std::wstring StepDetailsUnderWine(const wchar_t* statusLine, const wchar_t* command) {
    return std::wstring(statusLine) + L"\r\nCommand: " + command +
           L"\r\nResult: exit code 1\r\nOutput:\r\nError: Unknown or invalid command line parameters specified\r\n"
           L"Usage: ipconfig [ /? | /all ]\r\n";
}

// A real double-click on a line of the list, as the mouse sends it.
void DoubleClickLine(HWND list, int line) {
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(line), 0);
    int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    LPARAM at = MAKELPARAM(10, height * (line - top) + height / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

TEST(MainWindow, EachStepsOwnWordsOpenFromItsLineAndCopyAsAReport) {
    RunningProgram program;
    ASSERT_TRUE(program.Started());
    StartedWindow w = ControlsOf(program.WaitForMainWindow(60000));
    ASSERT_NE(w.window, nullptr);
    size_t mostLines = 0;
    SendMessageW(w.start, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitForIdleAfterRun(w.list, w.start, w.close, 120000, mostLines));
    SetForegroundWindow(w.window);

    DoubleClickLine(w.list, 2);  // the failure line under step 1 opens step 1
    HWND details = WaitForDetails(w.window);
    ASSERT_NE(details, nullptr) << "no details window";
    HWND text = FindWindowExW(details, nullptr, L"Edit", nullptr);
    HWND copy = FindWindowExW(details, nullptr, L"Button", L"Copy");
    ASSERT_TRUE(text && copy);
    EXPECT_TRUE(GetWindowLongW(text, GWL_STYLE) & ES_READONLY);
    Sleep(300);
    SaveScreenshot(details, win32::ProgramFolder() + L"details-window.bmp");
    const std::wstring step1 = StepDetailsUnderWine(L"Step 01/04 - Releasing IP Information...", L"ipconfig /release");
    const std::wstring step3 =
        StepDetailsUnderWine(L"Step 03/04 - Refreshing DHCP & DNS...", L"ipconfig /registerdns");
    EXPECT_EQ(WindowText(text), step1);

    EmptyTheClipboard();
    SendMessageW(copy, BM_CLICK, 0, 0);
    const std::wstring report = ClipboardText();
    // The network as this test reads it; the run changed nothing under Wine.
    CoInitialize(nullptr);
    const app::NetworkReading network = app::ReadSystemNetwork();
    const app::ConnectivityReading connectivity = app::ReadSystemConnectivity();
    CoUninitialize();
    const std::wstring summary = app::NetworkSummaryLine(network, connectivity);
    const std::wstring networkDetails =
        summary + L"\r\n\r\n" + app::NetworkReport(network, network, connectivity);
    EXPECT_TRUE(IsWineRun(ListLines(w.list), summary));
    EXPECT_EQ(report, step1 + L"\r\n" +
                          StepDetailsUnderWine(L"Step 02/04 - Purging DNS Cache...", L"ipconfig /flushdns") + L"\r\n" +
                          step3 + L"\r\n" +
                          StepDetailsUnderWine(L"Step 04/04 - Renewing IP Information...", L"ipconfig /renew") +
                          L"\r\n" + networkDetails);
    EmptyTheClipboard();
    SendMessageW(text, WM_CHAR, 0x03, 0);  // Ctrl+C with nothing selected
    EXPECT_EQ(ClipboardText(), report);

    // Esc closes it; Enter on a selected line opens that line's step.
    PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
    for (int i = 0; i < 100 && IsWindowVisible(details); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(details) && IsWindowVisible(details)) << "Esc did not close the details";
    SendMessageW(w.list, LB_SETCURSEL, 5, 0);
    PostMessageW(w.list, WM_KEYDOWN, VK_RETURN, 0);
    details = WaitForDetails(w.window);
    ASSERT_NE(details, nullptr) << "Enter did not open the details";
    text = FindWindowExW(details, nullptr, L"Edit", nullptr);
    EXPECT_EQ(WindowText(text), step3);
    DoubleClickLine(w.list, kWineRunLineCount - 2);  // the network's line: before and after
    for (int i = 0; i < 100 && WindowText(text) != networkDetails; ++i) Sleep(50);
    EXPECT_EQ(WindowText(text), networkDetails);

    SendMessageW(w.close, BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(30000), 0);
}

TEST(MainWindow, ClosingDuringARunIsRefusedAndTheRunCompletes) {
    RunningProgram program;
    ASSERT_TRUE(program.Started());
    StartedWindow w = ControlsOf(program.WaitForMainWindow(60000));
    ASSERT_NE(w.window, nullptr);
    SendMessageW(w.start, BM_CLICK, 0, 0);
    for (int i = 0; i < 400 && SendMessageW(w.list, LB_GETCOUNT, 0, 0) < 2; ++i) Sleep(5);
    SendMessageW(w.window, WM_CLOSE, 0, 0);
    SendMessageW(w.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(SendMessageW(w.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "log-off not held";
    ASSERT_LT(SendMessageW(w.list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(kWineRunLineCount))
        << "the run ended before the close was tried";
    EXPECT_TRUE(IsWindow(w.window));
    size_t mostLines = 0;
    ASSERT_TRUE(WaitForIdleAfterRun(w.list, w.start, w.close, 120000, mostLines));
    EXPECT_TRUE(IsWineRun(ListLines(w.list)));
    EXPECT_TRUE(SendMessageW(w.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    PostMessageW(w.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(60000), 0);
}

std::string FileText(const std::wstring& path) {
    win32::Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    std::string text(4096, '\0');
    DWORD got = 0;
    if (!file || !ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) got = 0;
    text.resize(got);
    return text;
}

// The process that shows the desktop: Windows' shell window, or under Wine
// the explorer that owns the desktop window.
DWORD DesktopShellId() {
    HWND shell = GetShellWindow();
    DWORD id = 0;
    GetWindowThreadProcessId(shell ? shell : GetDesktopWindow(), &id);
    return id;
}

// The https handler is pointed at a stand-in that records who started it:
// the per-user one, which an unelevated program can rewrite, and the
// machine's, which is the one Wine's ShellExecute reads.
TEST(MainWindow, TheLinkNeverStartsAnythingAsAChildOfTheProgram) {
    const wchar_t* const kHttpsOpen = L"Software\\Classes\\https\\shell\\open\\command";
    const std::wstring log = win32::ProgramFolder() + L"link-opened.txt";
    DeleteFileW(log.c_str());
    const std::wstring handler = L"\"" + win32::ProgramFolder() + L"child_writer.exe\" parent \"" + log + L"\" \"%1\"";
    const DefaultValueScope user(HKEY_CURRENT_USER, kHttpsOpen, handler);
    const DefaultValueScope machine(HKEY_LOCAL_MACHINE, kHttpsOpen, handler);

    RunningProgram program;
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForMainWindow(60000);
    ASSERT_NE(window, nullptr);
    DWORD programId = 0;
    GetWindowThreadProcessId(window, &programId);
    HWND label = FindWindowExW(window, nullptr, L"Static", L"Follow Zelbrin on Facebook");
    ASSERT_NE(label, nullptr);
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));

    // Started by the desktop shell, or not at all with the address shown.
    std::string opened;
    HWND shown = nullptr;
    for (int waited = 0; waited < 30000 && opened.empty() && !shown; waited += 100) {
        Sleep(100);
        opened = FileText(log);
        shown = FindWindowW(nullptr, L"Web Address");
        if (shown && (GetWindow(shown, GW_OWNER) != window || !IsWindowVisible(shown))) shown = nullptr;
    }
    if (!opened.empty()) {
        const DWORD parent = std::strtoul(opened.c_str(), nullptr, 10);
        EXPECT_NE(parent, programId) << "the handler ran with the program's rights";
        EXPECT_EQ(parent, DesktopShellId());
        EXPECT_EQ(opened, std::to_string(parent) + " https://www.facebook.com/zelbrin\r\n");
    } else {
        ASSERT_NE(shown, nullptr) << "neither the handler ran nor the address was shown";
        EXPECT_EQ(WindowText(FindWindowExW(shown, nullptr, L"Edit", nullptr)), L"https://www.facebook.com/zelbrin");
        Sleep(1000);
        EXPECT_EQ(FileText(log), "") << "the address was shown and started";
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(30000), 0);
    DeleteFileW(log.c_str());
}

}  // namespace
