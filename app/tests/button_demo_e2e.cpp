// Drives button_demo.exe with the visual style on and off, as a user would:
// screenshots of both looks as build artifacts, clicks reaching their
// handlers, and (themed) the real pointer's hover drawn hot.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/tests/list_lines.h"
#include "app/tests/running_program.h"
#include "app/tests/screenshot.h"
#include "app/tests/theme_registry.h"
#include "app/tests/xdotool.h"
#include "common/program_folder.h"

namespace {

// A point of the form that is over no control: the pointer rests there
// between steps, inside the window so that its moves are seen.
POINT Parking(HWND form) {
    POINT p{8, 240};
    ClientToScreen(form, &p);
    return p;
}

RECT ScreenRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// The screen once it has stopped changing there.
std::vector<uint32_t> SettledPixels(const RECT& r) {
    std::vector<uint32_t> last = ScreenPixels(r);
    for (int i = 0; i < 40; ++i) {
        Sleep(50);
        std::vector<uint32_t> now = ScreenPixels(r);
        if (now == last) return now;
        last = std::move(now);
    }
    return last;
}

bool WaitForLine(HWND list, const std::wstring& line) {
    for (int waited = 0; waited < 5000; waited += 50) {
        std::vector<std::wstring> lines = ListLines(list);
        if (std::ranges::find(lines, line) != lines.end()) return true;
        Sleep(50);
    }
    return false;
}

TEST(ButtonDemo, ThemedAndClassicLooksWithClicksAndHover) {
    std::vector<uint32_t> bitmapButton[2];
    for (bool themed : {false, true}) {
        SCOPED_TRACE(themed ? "themed" : "classic");
        ThemeScope theme(themed);
        RunningProgram program(L"button_demo.exe");
        ASSERT_TRUE(program.Started());
        HWND window = program.WaitForWindow(L"MendlowForm", L"Mendlow button demo", 60000);
        ASSERT_NE(window, nullptr);
        HWND command1 = FindWindowExW(window, nullptr, L"Button", L"Bitmap");
        HWND command5 = FindWindowExW(window, nullptr, L"Button", L"Down");
        HWND close = FindWindowExW(window, nullptr, L"Button", L"Close");
        HWND log = FindWindowExW(window, nullptr, L"ListBox", nullptr);
        ASSERT_TRUE(command1 && command5 && close && log);

        ASSERT_TRUE(MoveTo(Parking(window)));
        bitmapButton[themed] = SettledPixels(ScreenRect(command1));
        EXPECT_TRUE(SaveScreenshot(window, win32::ProgramFolder() +
                                               (themed ? L"button-demo-themed.bmp" : L"button-demo-classic.bmp")));

        SendMessageW(command1, BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitForLine(log, L"Command1 Click"));

        RECT down = ScreenRect(command5);
        std::vector<uint32_t> away = SettledPixels(down);
        ASSERT_TRUE(MoveTo({(down.left + down.right) / 2, (down.top + down.bottom) / 2}));
        std::vector<uint32_t> over = SettledPixels(down);
        ASSERT_TRUE(MoveTo(Parking(window)));
        std::vector<uint32_t> left = SettledPixels(down);
        if (themed) {
            EXPECT_NE(over, away) << "hovering draws the hot look";
            EXPECT_EQ(left, away) << "leaving draws the normal look again";
        } else {
            EXPECT_EQ(over, away) << "classic buttons have no hover look";
        }

        SendMessageW(close, BM_CLICK, 0, 0);
        EXPECT_EQ(program.WaitForExit(10000), 0);
    }
    EXPECT_NE(bitmapButton[0], bitmapButton[1]) << "the visual style changes the look";
}

}  // namespace
