// GDI+ once per top-level window, shut down about 50 ms after it is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include "imagecontrol/cCrossComm.h"
#include "imagecontrol/tests/recording_site.h"
#include "imagecontrol/win32/gdiplus_patch_window.h"

namespace {

HWND TopLevel() {
    return CreateWindowExW(0, L"STATIC", L"top", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(2);
    }
}

auto Window = [](HWND h) { return reinterpret_cast<uintptr_t>(h); };

TEST(GdiplusPatchWindow, OneStartUpPerTopLevelWindowEndingAfterIt) {
    HWND first = TopLevel(), second = TopLevel();
    HWND inner = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, first, nullptr, nullptr, nullptr);
    ASSERT_TRUE(first && second && inner);

    cCrossComm firstForm, laterForm, otherWindow;
    firstForm.ManageGDIToken(Window(inner));  // climbs to the top-level window
    if (firstForm.gdiToken() == 0) GTEST_SKIP() << "GDI+ does not start here";
    EXPECT_NE(firstForm.gdiToken(), cCrossComm::kManagedElsewhere);
    EXPECT_EQ(GetWindow(first, GW_CHILD), inner);
    EXPECT_EQ(GetWindow(inner, GW_HWNDNEXT), nullptr) << "a window joined the caller's";
    laterForm.ManageGDIToken(Window(first));
    EXPECT_EQ(laterForm.gdiToken(), cCrossComm::kManagedElsewhere);
    otherWindow.ManageGDIToken(Window(second));
    EXPECT_NE(otherWindow.gdiToken(), 0u);
    EXPECT_NE(otherWindow.gdiToken(), cCrossComm::kManagedElsewhere);

    const size_t done = GdiplusShutdownsDone();
    DestroyWindow(first);
    EXPECT_EQ(PendingGdiplusShutdowns(), 1u);
    PumpFor(15);
    EXPECT_EQ(PendingGdiplusShutdowns(), 1u) << "not before its delay";
    EXPECT_EQ(GdiplusShutdownsDone(), done);
    PumpFor(300);
    EXPECT_EQ(PendingGdiplusShutdowns(), 0u);
    EXPECT_EQ(GdiplusShutdownsDone(), done + 1);
    EXPECT_EQ(LastGdiplusShutdownToken(), firstForm.gdiToken()) << "the first window's GDI+ was not shut down";
    DestroyWindow(second);
    PumpFor(300);
    EXPECT_EQ(PendingGdiplusShutdowns(), 0u);
    EXPECT_EQ(GdiplusShutdownsDone(), done + 2);
    EXPECT_EQ(LastGdiplusShutdownToken(), otherWindow.gdiToken());
}

}  // namespace

namespace {

// Siblings share one start-up, and each control's images carry its token.
TEST(GdiplusPatchWindow, SiblingControlsShareTheFirstOnesToken) {
    HWND top = TopLevel();
    ASSERT_TRUE(top);
    RecordingSite firstSite, secondSite;
    firstSite.window = secondSite.window = Window(top);
    aicAlphaImage first(firstSite), second(secondSite);
    firstSite.control = &first;
    secondSite.control = &second;
    secondSite.firstOfType = &first;
    first.InitProperties();
    second.InitProperties();
    if (!first.pvGetImageObject().isGDIplusEnabled()) GTEST_SKIP() << "no GDI+ here";
    const uintptr_t token = first.CrossTalkClass()->gdiToken();
    EXPECT_NE(token, 0u);
    EXPECT_EQ(second.CrossTalkClass(), first.CrossTalkClass());
    EXPECT_EQ(first.pvGetImageObject().gdiToken(), token);
    EXPECT_EQ(second.pvGetImageObject().gdiToken(), token);
    DestroyWindow(top);
    PumpFor(300);  // its shut-down done, for the tests after this one
}

}  // namespace
