// The window class on a real parent: painted over the parent's background,
// clicks on the picture reported and clicks beside it passed through (with
// the real pointer), fades, properties and loads through the messages.
#include "mendlow/alpha_image_window.h"

#include <oleacc.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "app/tests/running_program.h"
#include "app/tests/screenshot.h"
#include "app/tests/xdotool.h"
#include "common/accessible_overrides.h"
#include "imagecore/c32bppDIB.h"

namespace mendlow {
namespace {

constexpr int kSide = 40;  // the picture: opaque red, then half-transparent blue, then nothing
constexpr POINT kAt{20, 30};

uint32_t Background(int x, int y) { return static_cast<uint32_t>((x * 2 % 256) << 16 | (100 << 8) | (200 - y % 200)); }

struct Parent {
    HWND window = nullptr;
    std::vector<NMALPHAIMAGE> notes;
    std::vector<POINT> ownClicks;
    UINT destroyOn = 0;  // a notification whose handler destroys the control
    bool destroyParent = false;  // ... or the control's parent
    std::vector<POINT> menus;  // WM_CONTEXTMENU's screen points
};
Parent* gParent = nullptr;

void PaintBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    std::vector<uint32_t> pixels(static_cast<size_t>(client.right) * client.bottom);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) pixels[static_cast<size_t>(y) * client.right + x] = Background(x, y);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBitsToDevice(dc, 0, 0, client.right, client.bottom, 0, 0, 0, client.bottom, pixels.data(), &info,
                      DIB_RGB_COLORS);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: PaintBackground(window, reinterpret_cast<HDC>(wParam)); return 1;
        case WM_PRINTCLIENT: PaintBackground(window, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_NOTIFY: {
            const auto& note = *reinterpret_cast<const NMALPHAIMAGE*>(lParam);
            gParent->notes.push_back(note);
            if (note.hdr.code == gParent->destroyOn)
                DestroyWindow(gParent->destroyParent ? window : note.hdr.hwndFrom);
            return 0;
        }
        case WM_CONTEXTMENU: gParent->menus.push_back({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
        case WM_LBUTTONDOWN: gParent->ownClicks.push_back({LOWORD(lParam), HIWORD(lParam)}); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::vector<uint8_t> PicturePng() {
    c32bppDIB image;
    EXPECT_TRUE(image.InitializeDIB(kSide, kSide));
    uint8_t* bits = image.BitsPointer();  // premultiplied BGRA
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            uint8_t* p = bits + (static_cast<size_t>(y) * kSide + x) * 4;
            if (x < 16) p[2] = p[3] = 255;
            else if (x < 24) p[0] = p[3] = 128;
        }
    image.SetAlpha(true);
    std::vector<uint8_t> png;
    EXPECT_TRUE(image.SaveToStream_PNG(png));
    return png;
}

// dialog: a window whose keys go through the dialog manager (Tab, Enter).
void PumpUntil(const std::function<bool()>& done, int milliseconds = 3000, HWND dialog = nullptr) {
    for (int waited = 0; waited <= milliseconds && !done(); waited += 10) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!dialog || !IsDialogMessageW(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        Sleep(10);
    }
}

class AlphaImageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterAlphaImageWindowClass(instance));
        ASSERT_TRUE(RegisterAlphaImageWindowClass(instance));  // again: still registered
        WNDCLASSW parentClass{};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = instance;
        parentClass.lpszClassName = L"AlphaImageTestParent";
        RegisterClassW(&parentClass);
        gParent = &parent_;
        parent_.window = CreateWindowExW(0, L"AlphaImageTestParent", L"parent", WS_POPUP | WS_VISIBLE, 100, 100, 200,
                                         150, nullptr, nullptr, instance, nullptr);
        ASSERT_TRUE(parent_.window);
        SetForegroundWindow(parent_.window);
        image_ = AlphaImageWindow::Create(parent_.window, 7, {kAt.x, kAt.y, kAt.x + kSide, kAt.y + kSide});
        ASSERT_TRUE(image_.Window());
        const std::vector<uint8_t> png = PicturePng();
        ASSERT_TRUE(image_.LoadBytes(png.data(), png.size()));
        ASSERT_TRUE(image_.SetFitMode(3));
        ASSERT_TRUE(image_.SetHitTest(3));
        UpdateWindow(parent_.window);
        PumpUntil([] { return false; }, 100);
    }
    void TearDown() override {
        if (parent_.window) DestroyWindow(parent_.window);
        gParent = nullptr;
    }
    // The pointer moved onto a point of the picture window and clicked there.
    void ClickAt(int x, int y, const wchar_t* clicks = L"click 1") {
        POINT screen{x, y};
        ClientToScreen(image_.Window(), &screen);
        ASSERT_TRUE(MoveTo(screen));
        PumpUntil([] { return false; }, 200);
        ASSERT_TRUE(Xdotool(clicks));
    }
    // How many notes of the code the parent had.
    size_t Noted(UINT code) const {
        return static_cast<size_t>(std::ranges::count(parent_.notes, code, [](const NMALPHAIMAGE& note) {
            return note.hdr.code;
        }));
    }

    Parent parent_;
    AlphaImageWindow image_;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

TEST_F(AlphaImageWindowTest, PaintsThePictureOverTheParentsBackground) {
    RECT client;
    GetClientRect(image_.Window(), &client);
    ASSERT_EQ(client.right, kSide);  // the window keeps its size: AutoSize is off
    std::vector<HWND> children;
    EnumChildWindows(parent_.window, CollectWindow, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, std::vector<HWND>{image_.Window()}) << "only the caller's windows";
    RedrawWindow(image_.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<uint32_t> shown = PixelsOf(image_.Window(), client);
    ASSERT_EQ(shown.size(), static_cast<size_t>(kSide * kSide));
    for (int y = 0; y < kSide; y += 3)
        for (int x = 0; x < kSide; ++x) {
            const uint32_t back = Background(kAt.x + x, kAt.y + y);
            // Premultiplied source plus what shows through.
            const uint32_t source = x < 16 ? 0xFF0000 : x < 24 ? 0x000080 : 0;
            const int through = x < 16 ? 0 : x < 24 ? 127 : 255;
            const uint32_t pixel = shown[static_cast<size_t>(y) * kSide + x];
            for (int shift : {0, 8, 16}) {
                const int want = static_cast<int>((source >> shift) & 0xFF) +
                                 static_cast<int>(((back >> shift) & 0xFF) * through / 255);
                ASSERT_LE(std::abs(static_cast<int>((pixel >> shift) & 0xFF) - want), 3)
                    << "at " << x << "," << y << " shift " << shift;
            }
        }
}

TEST_F(AlphaImageWindowTest, ClickOnThePictureIsNotedAndBesideItGoesToTheParent) {
    ClickAt(5, 20);
    PumpUntil([&] { return Noted(AIN_CLICK); });
    ASSERT_TRUE(Noted(AIN_MOUSEENTER));
    ASSERT_TRUE(Noted(AIN_CLICK));
    const NMALPHAIMAGE& click = parent_.notes.back().hdr.code == AIN_CLICK ? parent_.notes.back() : parent_.notes[0];
    EXPECT_EQ(click.hdr.idFrom, 7u);
    EXPECT_EQ(click.hdr.hwndFrom, image_.Window());
    EXPECT_EQ(click.button, 1);
    EXPECT_EQ(click.x, 5);
    EXPECT_EQ(click.y, 20);
    EXPECT_TRUE(parent_.ownClicks.empty());

    parent_.notes.clear();
    ClickAt(35, 20);  // see-through: the parent's own click
    PumpUntil([&] { return !parent_.ownClicks.empty(); });
    ASSERT_EQ(parent_.ownClicks.size(), 1u);
    EXPECT_EQ(parent_.ownClicks[0].x, kAt.x + 35);
    EXPECT_EQ(parent_.ownClicks[0].y, kAt.y + 20);
    EXPECT_FALSE(Noted(AIN_CLICK));
    EXPECT_TRUE(Noted(AIN_MOUSEEXIT));

    parent_.notes.clear();
    ClickAt(5, 20, L"click --repeat 2 --delay 80 1");
    PumpUntil([&] { return Noted(AIN_DBLCLK) > 0; });
    PumpUntil([] { return false; }, 200);  // the second release
    EXPECT_EQ(Noted(AIN_CLICK), 1u);
    EXPECT_EQ(Noted(AIN_DBLCLK), 1u);
    for (const NMALPHAIMAGE& note : parent_.notes) {
        EXPECT_GE(note.hdr.code, AIN_FIRST);
        EXPECT_LE(note.hdr.code, AIN_LAST);
    }
}

TEST_F(AlphaImageWindowTest, FadeEndsWithItsNotification) {
    struct Row {
        int opacity, step;
    };
    for (const Row& nothingToFade : {Row{100, 10}, Row{150, 10}, Row{0, 0}})
        EXPECT_FALSE(image_.Fade(nothingToFade.opacity, nothingToFade.step)) << nothingToFade.opacity;
    EXPECT_FALSE(Noted(AIN_FADEEND));
    ASSERT_TRUE(image_.Fade(0, 25, 10));
    PumpUntil([&] { return Noted(AIN_FADEEND); });
    ASSERT_TRUE(Noted(AIN_FADEEND));
    EXPECT_EQ(parent_.notes.back().opacity, 0);
    EXPECT_EQ(image_.Opacity(), 0);
}

TEST_F(AlphaImageWindowTest, AHandlerMayDestroyTheControlOrItsParentFromAnyNotification) {
    const std::vector<uint8_t> png = PicturePng();
    ShowWindow(image_.Window(), SW_HIDE);
    struct Row {
        UINT code;
        bool parent;
    };
    for (const Row row : {Row{AIN_FADEEND, false}, Row{AIN_MOUSEENTER, false}, Row{AIN_CLICK, false},
                          Row{AIN_MOUSEENTER, true}, Row{AIN_CLICK, true}}) {
        MoveTo({0, 0});  // the next control sees the pointer come
        PumpUntil([] { return false; }, 100);
        parent_.notes.clear();
        parent_.destroyOn = row.code;
        parent_.destroyParent = row.parent;
        const HWND holder = CreateWindowExW(0, L"AlphaImageTestParent", L"", WS_CHILD | WS_VISIBLE, kAt.x, kAt.y,
                                            kSide, kSide, parent_.window, nullptr, nullptr, nullptr);
        AlphaImageWindow doomed = AlphaImageWindow::Create(holder, 9, {0, 0, kSide, kSide});
        ASSERT_TRUE(doomed.LoadBytes(png.data(), png.size()));
        ASSERT_TRUE(doomed.SetHitTest(3));
        if (row.code == AIN_FADEEND)
            ASSERT_TRUE(doomed.Fade(0, 50, 10));
        else
            ASSERT_NO_FATAL_FAILURE(ClickAt(5, 20));
        PumpUntil([&] { return !IsWindow(doomed.Window()); });
        EXPECT_FALSE(IsWindow(doomed.Window())) << row.code;
        EXPECT_EQ(IsWindow(holder), !row.parent) << row.code;
        EXPECT_EQ(Noted(row.code), 1u) << row.code;
        PumpUntil([] { return false; }, 200);  // a tick or a release still on its way
        EXPECT_FALSE(Noted(AIN_CLICK) && row.code != AIN_CLICK) << row.code;
        DestroyWindow(holder);
    }
}

// One thread's windows in a top-level window of its own: each hovered (the
// mouse poll's timer), faded to the end and destroyed; answers how many
// faded. (Under Wine a visible top-level window takes 2 s to go.)
int HoverAndFade(const std::vector<uint8_t>& png, int windows) {
    const HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 300, 60, 60, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    int faded = 0;
    for (int i = 0; i < windows; ++i) {
        AlphaImageWindow image = AlphaImageWindow::Create(top, 1, {0, 0, kSide, kSide});
        if (image.LoadBytes(png.data(), png.size()) && image.SetHitTest(3) && image.Fade(0, 50, 10)) {
            POINT on{5, 5};
            ClientToScreen(image.Window(), &on);
            SendMessageW(image.Window(), WM_NCHITTEST, 0, MAKELPARAM(on.x, on.y));
            PumpUntil([&] { return image.Opacity() == 0; }, 1000);
            faded += image.Opacity() == 0;
        }
        DestroyWindow(image.Window());
    }
    DestroyWindow(top);
    return faded;
}

TEST_F(AlphaImageWindowTest, TwoThreadsEachHoverAndFadeTheirOwnWindows) {
    const std::vector<uint8_t> png = PicturePng();
    constexpr int kWindows = 100;
    int otherFaded = 0;
    std::thread other([&] { otherFaded = HoverAndFade(png, kWindows); });
    const int faded = HoverAndFade(png, kWindows);
    other.join();
    EXPECT_EQ(faded, kWindows);
    EXPECT_EQ(otherFaded, kWindows);
}

TEST_F(AlphaImageWindowTest, KeysPressItAsAButtonAndTheRightButtonAsksForAMenu) {
    const HWND window = image_.Window(), dialog = parent_.window;
    SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | WS_TABSTOP);
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    const HWND button = CreateWindowExW(0, L"BUTTON", L"Other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 120, 10, 60, 20,
                                        dialog, nullptr, nullptr, nullptr);
    SetFocus(button);
    ASSERT_TRUE(Xdotool(L"key Tab"));
    PumpUntil([&] { return GetFocus() == window; }, 3000, dialog);
    ASSERT_EQ(GetFocus(), window) << "Tab reaches it";
    parent_.notes.clear();
    ASSERT_TRUE(Xdotool(L"key space"));
    ASSERT_TRUE(Xdotool(L"key Return"));
    PumpUntil([&] { return Noted(AIN_CLICK) == 2; }, 3000, dialog);
    ASSERT_EQ(Noted(AIN_CLICK), 2u);
    for (const NMALPHAIMAGE& note : parent_.notes)
        EXPECT_EQ(std::vector<int>({note.button, note.x, note.y}), std::vector<int>({0, -1, -1})) << "keyboard";

    ClickAt(5, 20, L"click 3");
    PumpUntil([&] { return !parent_.menus.empty(); });
    ASSERT_EQ(parent_.menus.size(), 1u);
    POINT screen{5, 20};
    ClientToScreen(window, &screen);
    EXPECT_EQ(std::vector<LONG>({parent_.menus[0].x, parent_.menus[0].y}), std::vector<LONG>({screen.x, screen.y}));
    EXPECT_EQ(parent_.notes.back().button, 2) << "the right click is noted too";
}

TEST_F(AlphaImageWindowTest, DisabledItIsGreyAndSilentAndHiddenItStopsFading) {
    const HWND window = image_.Window();
    EnableWindow(window, FALSE);
    RECT client;
    GetClientRect(window, &client);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const uint32_t red = PixelsOf(window, client)[20 * kSide + 5];
    const int r = static_cast<int>(red >> 16 & 0xFF), g = static_cast<int>(red >> 8 & 0xFF);
    EXPECT_LE(std::abs(r - g), 60) << std::hex << red << ": greyed, half see-through";
    parent_.notes.clear();
    ClickAt(5, 20);
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(Noted(AIN_CLICK) || Noted(AIN_MOUSEENTER));
    EXPECT_EQ(parent_.ownClicks.size(), 1u) << "as with any disabled control, the click is the parent's";
    EnableWindow(window, TRUE);
    ClickAt(6, 20);
    PumpUntil([&] { return Noted(AIN_CLICK) > 0; });
    EXPECT_EQ(Noted(AIN_CLICK), 1u);

    // Shown and hidden by SetWindowPos, which sends no WM_SHOWWINDOW.
    constexpr UINT kOnlyShow = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    ASSERT_TRUE(image_.Fade(0, 10, 30));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, kOnlyShow | SWP_HIDEWINDOW);
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(Noted(AIN_FADEEND));
    EXPECT_GT(image_.Opacity(), 0) << "hidden, it stopped";
    SetWindowPos(window, nullptr, 0, 0, 0, 0, kOnlyShow | SWP_SHOWWINDOW);
    ASSERT_TRUE(image_.Fade(0, 50, 10));
    PumpUntil([&] { return Noted(AIN_FADEEND) > 0; });
    EXPECT_EQ(Noted(AIN_FADEEND), 1u);
}

TEST_F(AlphaImageWindowTest, ScreenReadersHearItsTextAsAPictureOrAButton) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const HWND window = image_.Window();
    SetWindowTextW(window, L"Company logo");
    for (const bool focusable : {false, true}) {
        SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | (focusable ? WS_TABSTOP : 0));
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), win32::kIAccessibleId,
                                             reinterpret_cast<void**>(&accessible)),
                  S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        ASSERT_EQ(accessible->get_accName(self, &name), S_OK);
        EXPECT_STREQ(name, L"Company logo");
        SysFreeString(name);
        VARIANT role{};
        ASSERT_EQ(accessible->get_accRole(self, &role), S_OK);
        EXPECT_EQ(role.lVal, focusable ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC);
        parent_.notes.clear();
        EXPECT_EQ(accessible->accDoDefaultAction(self) == S_OK, focusable);
        PumpUntil([&] { return !parent_.notes.empty(); }, focusable ? 3000 : 200);
        EXPECT_EQ(Noted(AIN_CLICK), focusable ? 1u : 0u);
        accessible->Release();
    }
    CoUninitialize();
}

TEST_F(AlphaImageWindowTest, PropertiesAndLoadsAnswerWhetherTheyTookEffect) {
    EXPECT_TRUE(image_.Hits(5, 5));
    EXPECT_FALSE(image_.Hits(35, 5));
    struct Row {
        AlphaImageProperty property;
        LPARAM value;
        bool taken;
    };
    for (const Row& row : {Row{AIP_OPACITY, 40, true}, Row{AIP_OPACITY, 150, false}, Row{AIP_MIRROR, 2, true},
                           Row{AIP_MIRROR, 4, false}, Row{AIP_LIGHTNESS, -40, true}, Row{AIP_LIGHTNESS, 101, false},
                           Row{AIP_GRAYSCALE, 3, true}, Row{AIP_SHADOWDEPTH, 11, false},
                           Row{AIP_SHADOWOFFSETX, 40000, false}, Row{AIP_IMAGETYPE, 1, false},
                           Row{AIP_COUNT, 0, false}, Row{AIP_MASKCOLOR, -1, false},
                           Row{AIP_SHADOWCOLOR, 0x1000000, false}, Row{AIP_STRETCHQUALITY, 2, false},
                           Row{AIP_MASKCOLOR, 0x00FF00, true}}) {
        EXPECT_EQ(image_.Set(row.property, row.value), row.taken) << row.property << " = " << row.value;
        if (row.taken) {
            EXPECT_EQ(image_.Get(row.property), row.value) << row.property;
        }
    }
    EXPECT_EQ(image_.Opacity(), 40);  // the refused value changed nothing
    EXPECT_EQ(image_.ImageType(), AIT_PNG);
    // A parent of another module: the window still comes from the registered class.
    const HWND foreignParent = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent_.window, nullptr,
                                               GetModuleHandleW(L"kernel32.dll"), nullptr);
    AlphaImageWindow fresh = AlphaImageWindow::Create(foreignParent, 8, {0, 0, 10, 10});
    ASSERT_TRUE(fresh.Window());
    EXPECT_EQ(fresh.ImageType(), AIT_NONE);
    const COLORREF mask = fresh.MaskColor();  // the default, a system colour
    EXPECT_EQ(mask, GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(fresh.SetMaskColor(mask)) << "read, then written back";
    EXPECT_TRUE(image_.SetRotation(90));
    EXPECT_EQ(image_.Rotation(), 90);

    // A load that fails leaves the window empty, as a clear does.
    const uint8_t garbage[100] = {1, 2, 3};
    const std::vector<uint8_t> png = PicturePng();
    for (const std::function<bool()>& load : std::vector<std::function<bool()>>{
             [&] { return image_.LoadBytes(garbage, sizeof garbage); },
             [&] { return image_.LoadFile(L"C:\\no such folder\\none.png"); },
             [&] { return image_.LoadResource(nullptr, L"PNG", L"NONE"); }, [&] { return image_.Clear(), false; }}) {
        ASSERT_TRUE(image_.LoadBytes(png.data(), png.size()));
        ASSERT_NE(image_.Get(AIP_IMAGETYPE), 0);
        EXPECT_FALSE(load());
        EXPECT_EQ(image_.Get(AIP_IMAGETYPE), 0);
    }
}

TEST_F(AlphaImageWindowTest, DialogTemplatesCreateItByClassName) {
    // A dialog with one MendlowAlphaImage item, 60 by 40 dialog units.
    std::vector<WORD> t(256, 0);
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(t.data());
    *dialog = {WS_POPUP | DS_SETFONT, 0, 1, 0, 0, 100, 80};
    size_t at = sizeof(DLGTEMPLATE) / sizeof(WORD) + 3;  // no menu, class or title
    t[at++] = 8;                                           // the font: 8 pt "MS Shell Dlg"
    for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) t[at++] = *c;
    t[at++] = 0;
    at = (at + 1) & ~size_t{1};  // items are DWORD aligned
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(t.data() + at);
    *item = {WS_CHILD | WS_VISIBLE | AIS_ACTUALSIZE | AIS_HITBOX, 0, 10, 10, 60, 40, 9};
    at += sizeof(DLGITEMTEMPLATE) / sizeof(WORD);
    for (const wchar_t* c = MENDLOW_ALPHA_IMAGE_CLASS; *c; ++c) t[at++] = *c;
    t[at++] = 0;
    HWND made = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog, parent_.window, nullptr, 0);
    ASSERT_TRUE(made);
    AlphaImageWindow inDialog(GetDlgItem(made, 9));
    ASSERT_TRUE(inDialog.Window());
    RECT units{0, 0, 60, 40};
    MapDialogRect(made, &units);
    RECT client;
    GetClientRect(inDialog.Window(), &client);
    EXPECT_EQ(client.right, units.right);  // sized by the dialog's units, at any DPI
    const std::vector<uint8_t> png = PicturePng();
    EXPECT_TRUE(inDialog.LoadBytes(png.data(), png.size()));
    EXPECT_EQ(inDialog.Opacity(), 100);
    EXPECT_EQ(std::vector<int>({inDialog.FitMode(), inDialog.HitTest()}), std::vector<int>({3, 1})) << "its styles";
    SetWindowLongW(inDialog.Window(), GWL_STYLE, WS_CHILD | WS_VISIBLE | AIS_STRETCH | AIS_HITPIXELS);
    EXPECT_EQ(std::vector<int>({inDialog.FitMode(), inDialog.HitTest()}), std::vector<int>({1, 3}));
    DestroyWindow(made);

    // Another procedure under the name is not taken for the class; the
    // class goes once its windows have.
    const HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
    WNDCLASSW impostor{};
    impostor.lpfnWndProc = DefWindowProcW;
    impostor.hInstance = other;
    impostor.lpszClassName = MENDLOW_ALPHA_IMAGE_CLASS;
    ASSERT_TRUE(RegisterClassW(&impostor));
    EXPECT_FALSE(RegisterAlphaImageWindowClass(other));
    EXPECT_TRUE(UnregisterClassW(MENDLOW_ALPHA_IMAGE_CLASS, other));
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    EXPECT_EQ(AlphaImageWindowClassInstance(), instance);
    EXPECT_FALSE(UnregisterAlphaImageWindowClass(instance)) << "its windows are there";
    DestroyWindow(parent_.window);
    parent_.window = nullptr;
    EXPECT_TRUE(UnregisterAlphaImageWindowClass(instance));
    EXPECT_EQ(AlphaImageWindowClassInstance(), nullptr);
}

// The run of one red pixel row across the window: where red starts and how
// many pixels it spans.
std::pair<int, int> RedRun(HWND window, int y) {
    RECT client;
    GetClientRect(window, &client);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<uint32_t> shown = PixelsOf(window, client);
    int first = -1, count = 0;
    for (int x = 0; x < client.right; ++x)
        if ((shown[static_cast<size_t>(y) * client.right + x] & 0xFFFFFF) == 0xFF0000) {
            if (first < 0) first = x;
            ++count;
        }
    return {first, count};
}

// Run by the next test in a process of its own, where the system's DPI is
// 144: Wine sets a process's DPI when it starts and never moves a window to
// another, so "another monitor" is another process.
TEST(AlphaImageWindowDpi, AnActualSizePictureFollowsTheDpi) {
    if (!GetEnvironmentVariableW(L"MENDLOW_DPI_CHILD", nullptr, 0)) GTEST_SKIP() << "started by the next test";
    using SetAwareness = BOOL(WINAPI*)(HANDLE);
    const auto setAwareness = reinterpret_cast<SetAwareness>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    // Per monitor, version 2 (refused where the process is already aware).
    if (setAwareness) setAwareness(reinterpret_cast<HANDLE>(-4));
    ASSERT_TRUE(RegisterAlphaImageWindowClass(GetModuleHandleW(nullptr)));
    const HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 120, 120, nullptr, nullptr,
                                     nullptr, nullptr);
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    ASSERT_TRUE(dpiForWindow);
    ASSERT_EQ(dpiForWindow(top), 144u);
    AlphaImageWindow image = AlphaImageWindow::Create(top, 1, {0, 0, 120, 120}, WS_VISIBLE | AIS_ACTUALSIZE);
    const std::vector<uint8_t> png = PicturePng();
    ASSERT_TRUE(image.LoadBytes(png.data(), png.size()));
    // 40 pixels at 96 DPI are 60 at 144: from 30, the red 16 become 24 (the
    // edge pixels blended; at 96 DPI: from 40, 16).
    for (int round = 0; round < 2; ++round) {
        const auto [first, count] = RedRun(image.Window(), 60);
        EXPECT_NEAR(first, 30, 1);
        EXPECT_NEAR(count, 24, 2);
        SendMessageW(image.Window(), 0x02E3 /* WM_DPICHANGED_AFTERPARENT */, 0, 0);  // the same DPI: the same
    }
    DestroyWindow(top);
}

TEST(AlphaImageWindowDpi, AtOneAndAHalfTimesTheDpi) {
    constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
    DWORD old = 0, size = sizeof old;
    const bool had = RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &old,
                                  &size) == ERROR_SUCCESS;
    const DWORD dpi = 144;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof dpi), ERROR_SUCCESS);
    SetEnvironmentVariableW(L"MENDLOW_DPI_CHILD", L"1");
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    RunningProgram child(self, L"--gtest_filter=AlphaImageWindowDpi.AnActualSizePictureFollowsTheDpi");
    const long code = child.WaitForExit(60000);
    SetEnvironmentVariableW(L"MENDLOW_DPI_CHILD", nullptr);
    if (had)
        RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &old, sizeof old);
    else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
    EXPECT_EQ(code, 0) << "its output is above";
}

}  // namespace
}  // namespace mendlow
