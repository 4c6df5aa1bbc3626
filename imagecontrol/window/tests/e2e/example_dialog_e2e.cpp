// The example dialog, run as a program and driven from outside: its picture
// composited over the dialog's gradient as Render composites it, a click on
// the picture reported and one through its hole not, and a fade's end.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/tests/running_program.h"
#include "app/tests/screenshot.h"
#include "app/tests/xdotool.h"
#include "imagecore/c32bppDIB.h"
#include "mendlow/alpha_image_window.h"

namespace {

constexpr int kPicture = 1001, kFade = 1004, kStatus = 1005;  // the example's resource.h

std::wstring WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return std::wstring(path.begin(), path.end());
}

std::wstring TextOf(HWND window) {
    wchar_t text[200] = {};
    SendMessageW(window, WM_GETTEXT, 200, reinterpret_cast<LPARAM>(text));
    return text;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

class ExampleDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.Started());
        dialog_ = program_.WaitForWindow(L"#32770", L"MendlowAlphaImage example", 60000);
        ASSERT_TRUE(dialog_);
        picture_ = GetDlgItem(dialog_, kPicture);
        ASSERT_TRUE(picture_);
        SetForegroundWindow(dialog_);
        Sleep(500);
    }
    void TearDown() override {
        if (dialog_) PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(program_.WaitForExit(10000), 0);
    }
    // What the screen shows of the picture window, once it has repainted.
    std::vector<uint32_t> Shown() const {
        RedrawWindow(picture_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Sleep(300);
        RECT r;
        GetWindowRect(picture_, &r);
        return PixelsOf(nullptr, r);
    }
    POINT OnScreen(int x, int y) const {
        POINT at{x, y};
        ClientToScreen(picture_, &at);
        return at;
    }

    RunningProgram program_{WindowsPath("Z:" MENDLOW_EXAMPLE_DIALOG)};
    HWND dialog_ = nullptr;
    HWND picture_ = nullptr;
};

TEST_F(ExampleDialog, ShowsThePictureOverItsGradientAndReportsClicksAndFades) {
    SaveScreenshot(dialog_, win32::ProgramFolder() + L"example-dialog.bmp");
    const std::vector<uint32_t> shown = Shown();
    ASSERT_TRUE(SendMessageW(picture_, mendlow::AIM_SETPROPERTY, mendlow::AIP_OPACITY, 0));
    const std::vector<uint32_t> behind = Shown();
    ASSERT_TRUE(SendMessageW(picture_, mendlow::AIM_SETPROPERTY, mendlow::AIP_OPACITY, 100));
    ASSERT_EQ(shown.size(), behind.size());
    EXPECT_NE(shown, behind);

    // The same picture composited by Render over what lies behind it, centred.
    std::ifstream in(MENDLOW_EXAMPLE_PICTURE, std::ios::binary);
    const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    c32bppDIB picture;
    ASSERT_TRUE(picture.LoadPicture_Stream(png));
    RECT client;
    GetClientRect(picture_, &client);
    const int width = client.right, height = client.bottom;
    const int left = (width - picture.Width()) / 2, top = (height - picture.Height()) / 2;
    c32bppDIB expected;
    ASSERT_TRUE(expected.InitializeDIB(width, height));
    auto* rows = reinterpret_cast<uint32_t*>(expected.BitsPointer());  // bottom-up
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[static_cast<size_t>(height - 1 - y) * width + x] = 0xFF000000 | behind[static_cast<size_t>(y) * width + x];
    ASSERT_TRUE(picture.Render(nullptr, left, top, picture.Width(), picture.Height(), 0, 0, 0, 0, 100, true, true,
                               &expected));
    int worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t want = rows[static_cast<size_t>(height - 1 - y) * width + x];
            const uint32_t got = shown[static_cast<size_t>(y) * width + x];
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(static_cast<int>((want >> shift) & 0xFF) -
                                                 static_cast<int>((got >> shift) & 0xFF)));
        }
    EXPECT_LE(worst, 3);

    // An opaque pixel of the disc, then its see-through hole.
    HWND status = GetDlgItem(dialog_, kStatus);
    const int discX = left + picture.Width() / 4, middleY = top + picture.Height() / 2;
    ASSERT_TRUE(MoveTo(OnScreen(discX, middleY)));
    ASSERT_TRUE(Xdotool(L"click 1"));
    const std::wstring clicked = L"Clicked at " + std::to_wstring(discX) + L", " + std::to_wstring(middleY);
    EXPECT_TRUE(WaitFor([&] { return TextOf(status) == clicked; })) << TextOf(status);
    SetWindowTextW(status, L"");
    Sleep(GetDoubleClickTime() + 100);
    ASSERT_TRUE(MoveTo(OnScreen(left + picture.Width() / 2, middleY)));
    ASSERT_TRUE(Xdotool(L"click 1"));
    Sleep(1000);
    EXPECT_EQ(TextOf(status), L"");

    HWND fade = GetDlgItem(dialog_, kFade);
    PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(kFade, BN_CLICKED), reinterpret_cast<LPARAM>(fade));
    EXPECT_TRUE(WaitFor([&] { return TextOf(status) == L"Faded to 0"; })) << TextOf(status);
    EXPECT_EQ(TextOf(fade), L"Fade in");
    EXPECT_EQ(SendMessageW(picture_, mendlow::AIM_GETPROPERTY, mendlow::AIP_OPACITY, 0), 0);
}

}  // namespace
