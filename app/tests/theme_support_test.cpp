// Visual styles on real windows: what gets subclassed, painting with styles
// off and on, the hot, pressed and released looks, transparent icons, and
// that painting leaks no GDI object. Runs with a visual style switched on.
#include "app/mdXpThemeSupport.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <uxtheme.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "app/demo/button_demo.h"
#include "app/host/message_pump.h"
#include "app/host/picture_drawing.h"
#include "app/tests/gdi_objects.h"
#include "app/tests/screenshot.h"
#include "app/tests/theme_registry.h"
#include "common/win32_handles.h"

namespace mdXpThemeSupport {
namespace {

using Pixels = std::vector<uint32_t>;

constexpr DWORD kThemed = STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS;
constexpr DWORD kControlsUnthemed = STAP_ALLOW_NONCLIENT;

void Pump() {
    for (int i = 0; i < 3; ++i) {
        host::ProcessPendingMessages();
        Sleep(10);
    }
}

// What the screen shows of a window's client area, after it has repainted.
Pixels Capture(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    RECT client;
    GetClientRect(window, &client);
    return PixelsOf(window, client);
}

bool HasColour(const Pixels& pixels, uint32_t rgb) {
    return std::ranges::any_of(pixels, [&](uint32_t p) { return (p & 0xFFFFFF) == rgb; });
}

bool SubclassedBy(HWND window, SUBCLASSPROC procedure, DWORD_PTR* refData = nullptr) {
    // Not in every import library: looked up by name.
    using Query = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    static auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "GetWindowSubclass")));
    DWORD_PTR data = 0;
    bool found = query && query(window, procedure, 0, &data);
    if (refData) *refData = data;
    return found;
}

class ButtonForm : public ::testing::Test {
protected:
    void SetUp() override {
        SetThemeAppProperties(kThemed);
        host::ParsedForm parsed = demo::LoadButtonForm();
        ASSERT_TRUE(parsed.ok) << parsed.error;
        form_ = std::make_unique<host::Form>(std::move(parsed.form));
        ASSERT_TRUE(form_->Load());
        form_->Show();
        Pump();
    }
    void TearDown() override {
        form_.reset();
        SetThemeAppProperties(kThemed);
    }
    host::ButtonControl& Button(const char* name) const { return form_->Get<host::ButtonControl>(name); }
    HWND Window(const char* name) const { return form_->Find(name) ? form_->Find(name)->Window() : nullptr; }
    void ExpectCaptionUnderThePictureOfThePressedState();

    std::unique_ptr<host::Form> form_;
};

TEST_F(ButtonForm, SubclassesFramesAndGraphicalButtonsOnly) {
    EXPECT_TRUE(InitVisualStyles());   // the test program's first call
    EXPECT_FALSE(InitVisualStyles());  // the second finds the flag set and does nothing
    EXPECT_TRUE(VisualStylesInitialised());
    ASSERT_TRUE(IsComCtl6Loaded());

    host::ParsedForm mainForm = host::LoadFormResource(L"FRMMAIN");
    ASSERT_TRUE(mainForm.ok) << mainForm.error;
    host::Form mainWindow(std::move(mainForm.form));
    ASSERT_TRUE(mainWindow.Load());
    EXPECT_TRUE(FixThemeSupport(mainWindow.Controls()));
    for (const auto& control : mainWindow.Controls()) {
        if (!control->Window()) continue;
        EXPECT_FALSE(SubclassedBy(control->Window(), pvRedirectButton)) << control->Name();
        EXPECT_FALSE(SubclassedBy(control->Window(), pvRedirectFrame)) << control->Name();
    }

    EXPECT_TRUE(FixThemeSupport(form_->Controls()));
    EXPECT_TRUE(SubclassedBy(Window("Frame1"), pvRedirectFrame));
    for (const char* name : {"Check2", "Command1", "Command2", "Command3", "Command4", "Command5", "Command6"}) {
        DWORD_PTR refData = 0;
        EXPECT_TRUE(SubclassedBy(Window(name), pvRedirectButton, &refData)) << name;
        EXPECT_EQ(refData, reinterpret_cast<DWORD_PTR>(&Button(name))) << name;
    }
    for (const char* name : {"Option1", "Option2", "Check1", "Command7"}) {
        EXPECT_FALSE(SubclassedBy(Window(name), pvRedirectButton)) << name;
        EXPECT_FALSE(SubclassedBy(Window(name), pvRedirectFrame)) << name;
    }
}

TEST_F(ButtonForm, WithStylesOffASubclassedButtonPaintsLikeItsTwin) {
    SetThemeAppProperties(kControlsUnthemed);
    ASSERT_FALSE(pvIsThemed());
    host::FormObject twin = Button("Command1").Description();
    twin.name = "Twin";
    twin.properties.Set("Left", int64_t{240});  // where the frame was
    twin.properties.Set("Top", int64_t{240});
    ShowWindow(Window("Frame1"), SW_HIDE);
    host::Control* plain = form_->AddControl(twin);
    ASSERT_NE(plain, nullptr);
    HWND subclassed = Window("Command1");
    ASSERT_TRUE(SetWindowSubclass(subclassed, pvRedirectButton, 0, reinterpret_cast<DWORD_PTR>(&Button("Command1"))));

    Pixels normal = Capture(subclassed);
    EXPECT_EQ(normal, Capture(plain->Window()));
    for (HWND window : {subclassed, plain->Window()}) {
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        SendMessageW(window, WM_MOUSEHOVER, 0, MAKELPARAM(10, 10));
        SendMessageW(window, BM_SETSTATE, TRUE, 0);
    }
    Pixels pressed = Capture(subclassed);
    EXPECT_NE(pressed, normal);
    EXPECT_EQ(pressed, Capture(plain->Window()));
    EXPECT_EQ(GetPropA(subclassed, "Hot"), nullptr);
    EXPECT_EQ(GetPropA(subclassed, "Painted"), nullptr);
}

TEST_F(ButtonForm, ThemedButtonShowsHotPressedAndReleasedLooks) {
    ASSERT_TRUE(pvIsThemed());
    ASSERT_TRUE(FixThemeSupport(form_->Controls()));
    HWND button = Window("Command5");
    Pixels normal = Capture(button);
    EXPECT_TRUE(HasColour(normal, 0x006E00)) << "the picture";
    EXPECT_EQ(GetPropA(button, "Painted"), reinterpret_cast<HANDLE>(1));

    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    SendMessageW(button, WM_MOUSEHOVER, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(GetPropA(button, "Hot"), reinterpret_cast<HANDLE>(1));
    Pixels hot = Capture(button);
    EXPECT_NE(hot, normal);

    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(GetPropA(button, "Hot"), nullptr);
    EXPECT_EQ(Capture(button), normal);

    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    Pixels pressed = Capture(button);
    EXPECT_NE(pressed, hot);
    EXPECT_TRUE(HasColour(pressed, 0x000096)) << "the pressed picture";
    EXPECT_FALSE(HasColour(pressed, 0x006E00));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Pixels released = Capture(button);
    EXPECT_NE(released, pressed);
    EXPECT_TRUE(HasColour(released, 0x006E00));
}

// Command5 without its Picture: only the pressed state has one. Its twin
// without a caption tells which pixels are the caption's.
void ButtonForm::ExpectCaptionUnderThePictureOfThePressedState() {
    auto onlyDown = [&](const char* name, const char* caption) {
        host::FormObject button{"PushButton", name, {}, {}};
        for (const auto& [key, value] : Button("Command5").Properties().Entries())
            if (key != "Picture" && key != "TabIndex") button.properties.Set(key, value);
        button.properties.Set("Caption", std::string(caption));
        return form_->AddControl(button);
    };
    Button("Command5").SetVisible(false);
    host::Control* captioned = onlyDown("Captioned", "Down");
    host::Control* blank = onlyDown("Blank", "");
    ASSERT_TRUE(captioned && blank);
    ASSERT_TRUE(FixThemeSupport(form_->Controls()));
    auto pressed = [&](host::Control* shown, host::Control* hidden) {
        hidden->SetVisible(false);
        shown->SetVisible(true);
        SendMessageW(shown->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageW(shown->Window(), BM_SETSTATE, TRUE, 0);
        Pixels pixels = Capture(shown->Window());
        SendMessageW(shown->Window(), BM_SETSTATE, FALSE, 0);
        SendMessageW(shown->Window(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        return pixels;
    };
    const Pixels withCaption = pressed(captioned, blank), without = pressed(blank, captioned);
    RECT client;
    GetClientRect(captioned->Window(), &client);
    // The caption's pixels: colours the twin without one has nowhere inside
    // the border and focus ring (the classic frame is as black as the text).
    constexpr int kBorder = 5;
    auto inside = [&](int x, int y) {
        return x >= kBorder && y >= kBorder && x < client.right - kBorder && y < client.bottom - kBorder;
    };
    std::set<uint32_t> twinColours;
    int lowestPicture = -1, topCaption = client.bottom, bottomCaption = -1;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if (inside(x, y)) twinColours.insert(without[static_cast<size_t>(y * client.right + x)]);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) {
            const uint32_t pixel = withCaption[static_cast<size_t>(y * client.right + x)];
            if ((pixel & 0xFFFFFF) == 0x000096) lowestPicture = std::max(lowestPicture, y);
            if (inside(x, y) && !twinColours.contains(pixel)) topCaption = std::min(topCaption, y), bottomCaption = y;
        }
    ASSERT_GE(lowestPicture, 0) << "the pressed picture";
    ASSERT_LT(topCaption, client.bottom) << "no caption";
    EXPECT_GT(topCaption, lowestPicture) << "the caption is drawn over the picture";
    EXPECT_LT(client.bottom - bottomCaption, client.bottom / 4) << "the caption is not in the band under the picture";
}

TEST_F(ButtonForm, CaptionMakesRoomForThePictureOfTheState) {
    ASSERT_TRUE(pvIsThemed());
    ExpectCaptionUnderThePictureOfThePressedState();
}

TEST_F(ButtonForm, ClassicCaptionMakesRoomForThePictureOfTheState) {
    SetThemeAppProperties(kControlsUnthemed);
    ASSERT_FALSE(pvIsThemed());
    ExpectCaptionUnderThePictureOfThePressedState();
}

TEST_F(ButtonForm, IconTallerThanWideKeepsItsBackgroundOverTheFullHeight) {
    IPicture* icon = Button("Command2").Picture();
    ASSERT_TRUE(host::HoldsImage(icon));
    constexpr int kWidth = 16, kHeight = 32;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win32::MemoryDc dc(CreateCompatibleDC(nullptr));
    win32::Bitmap target(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bits);
    win32::SelectObjectScope select(dc.get(), target.get());
    pvDrawRect(dc.get(), 0, 0, kWidth, kHeight, RGB(0, 200, 200));
    pvDrawTransparentPicture(icon, dc.get(), 0, 0, kWidth, kHeight, RGB(255, 0, 255), 0, 0, 0, 0);
    GdiFlush();
    auto at = [&](int x, int y) { return static_cast<const uint32_t*>(bits)[y * kWidth + x] & 0xFFFFFF; };
    for (int y : {0, 8, 16, 24, 31}) {
        EXPECT_EQ(at(1, y), 0x00C8C8u) << "background at row " << y;
        EXPECT_EQ(at(14, y), 0x00C8C8u) << "background at row " << y;
    }
    for (int y : {2, 16, 29}) EXPECT_EQ(at(7, y), 0xC81E1Eu) << "bar at row " << y;
}

TEST_F(ButtonForm, DrawingFailuresReachTheErrorReportUnderTheRoutinesName) {
    IPicture* icon = Button("Command2").Picture();
    ASSERT_TRUE(host::HoldsImage(icon));
    struct Row {
        const char* routine;
        std::function<void(HDC)> draw;
    };
    const Row rows[] = {
        {"pvDrawRect", [](HDC dc) { pvDrawRect(dc, 0, 0, 4, 4, 0); }},
        {"pvDrawTransparentPicture", [&](HDC dc) { pvDrawTransparentPicture(icon, dc, 0, 0, 16, 32, 0, 0, 0, 0, 0); }},
        {"pvDrawDisabledPicture", [&](HDC dc) { pvDrawDisabledPicture(icon, dc, 0, 0, 16, 32, 0); }},
    };
    win32::MemoryDc good(CreateCompatibleDC(nullptr));
    win32::Bitmap target(CreateCompatibleBitmap(good.get(), 16, 32));
    win32::SelectObjectScope select(good.get(), target.get());
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    for (const Row& row : rows) {
        const size_t before = ReportedErrorCount();
        row.draw(good.get());
        EXPECT_EQ(ReportedErrorCount(), before) << row.routine << " reported a drawing that worked";
        row.draw(gone);  // a device context no longer there: the drawing fails
        EXPECT_EQ(ReportedErrorCount(), before + 1) << row.routine;
        EXPECT_STREQ(LastReportedRoutine(), row.routine);
    }
}

TEST_F(ButtonForm, ThousandPaintsLeaveTheGdiObjectCountUnchanged) {
    ASSERT_TRUE(FixThemeSupport(form_->Controls()));
    const char* names[] = {"Command1", "Command2", "Command4", "Command6", "Check2"};
    for (DWORD properties : {kThemed, kControlsUnthemed}) {
        SetThemeAppProperties(properties);
        for (const char* name : names) Capture(Window(name));  // the theme loads its parts once
        size_t before = GdiObjectCount();
        if (before == 0) GTEST_SKIP() << "this system counts no GDI objects";
        for (int i = 0; i < 1000; ++i)
            RedrawWindow(Window(names[i % 5]), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
        EXPECT_EQ(GdiObjectCount(), before) << (properties == kThemed ? "themed" : "classic");
    }
}

}  // namespace
}  // namespace mdXpThemeSupport

// The visual style is read when the process starts: without one, the tests
// run again in a process started with it switched on.
int main(int argc, char** argv) {
    if (!IsThemeActive()) {
        ThemeScope on(true);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, GetCommandLineW(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
            return 2;
        win32::Handle process(info.hProcess), thread(info.hThread);
        WaitForSingleObject(process.get(), INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.get(), &code);
        return static_cast<int>(code);
    }
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
