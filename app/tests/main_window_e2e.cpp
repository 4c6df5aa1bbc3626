// Drives the real mendlow.exe from outside, as a user would: the window, its
// controls, a repair run, a second run, and closing.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/program_folder.h"

#include "app/tests/expected_status_lines.h"
#include "app/tests/list_lines.h"
#include "app/tests/running_program.h"
#include "app/tests/screenshot.h"

#include <cstdio>
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

// Waits until a run has finished: six lines and both buttons enabled again.
bool WaitForIdleAfterRun(HWND list, HWND start, HWND close, DWORD timeoutMs, size_t& mostLines) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        size_t count = static_cast<size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        mostLines = std::max(mostLines, count);
        if (count == kExpectedStatusLines.size() && IsWindowEnabled(start) && IsWindowEnabled(close)) return true;
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
    EXPECT_EQ(ListLines(list->window), kExpectedStatusLines);
    EXPECT_EQ(mostLines, kExpectedStatusLines.size());

    // A second press runs again on a cleared list.
    SendMessageW(list->window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"marker"));
    ASSERT_EQ(ListLines(list->window).size(), 7u);
    SendMessageW(start->window, BM_CLICK, 0, 0);
    Sleep(200);
    mostLines = 0;
    ASSERT_TRUE(WaitForIdleAfterRun(list->window, start->window, close->window, 120000, mostLines));
    EXPECT_EQ(ListLines(list->window), kExpectedStatusLines);
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

TEST(MainWindow, ClosingDuringARunEndsTheProgramCleanly) {
    RunningProgram program;
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForMainWindow(60000);
    ASSERT_NE(window, nullptr);
    std::vector<Child> children = ChildrenOf(window);
    const Child* start = FindChild(children, L"Button", L"Start");
    const Child* list = FindChild(children, L"ListBox", nullptr);
    ASSERT_TRUE(start && list);
    SendMessageW(start->window, BM_CLICK, 0, 0);
    // Close as soon as the run has begun.
    for (int i = 0; i < 400 && SendMessageW(list->window, LB_GETCOUNT, 0, 0) < 2; ++i) Sleep(5);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(60000), 0);
}

}  // namespace
