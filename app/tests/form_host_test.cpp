// The form host under Wine: forms built from descriptions, their controls,
// events and the message loop.
#include "app/host/form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/host/alpha_image.h"
#include "app/host/message_pump.h"

namespace host {
namespace {

// Records the form events in order.
class RecordingForm : public Form {
public:
    using Form::Form;
    std::vector<std::string> events;
    bool cancelClose = false;

protected:
    void Form_Load() override { events.push_back("Load"); }
    void Form_QueryUnload(bool& cancel) override {
        events.push_back("QueryUnload");
        cancel = cancelClose;
    }
    void Form_Unload(bool&) override { events.push_back("Unload"); }
};

FormObject Describe(const char* text) {
    ParsedForm parsed = ParseFormDescription(text, {});
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return parsed.form;
}

const char kSampleForm[] = R"(
Begin Form FrmSample
    Caption = "Sample"
    ClientWidth = 3000
    ClientHeight = 1500
    Begin PushButton Second
        Caption = "Second"
        Left = 150
        Top = 300
        Width = 1500
        Height = 450
        TabIndex = 1
    End
    Begin ListBox List1
        Left = 1650
        Top = 0
        Width = 1200
        Height = 900
    End
    Begin PushButton First
        Caption = "First"
        Left = 150
        Top = 900
        Width = 1500
        Height = 450
        TabIndex = 0
    End
    Begin Timer Ticker
        Enabled = false
        Interval = 20
    End
End
)";

// Unloading the last form asks the loop to quit; each test starts afresh.
class FormHost : public ::testing::Test {
protected:
    void SetUp() override { DropQuitRequests(); }
    void TearDown() override { DropQuitRequests(); }
    static void DropQuitRequests() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

RECT ClientRectIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void PumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        ProcessPendingMessages();
        Sleep(5);
    }
}

TEST_F(FormHost, BuildsControlsInCreationOrderAtTheScreenResolution) {
    RecordingForm form(Describe(kSampleForm));
    ASSERT_TRUE(form.Load());
    EXPECT_EQ(form.events, std::vector<std::string>{"Load"});
    ASSERT_EQ(form.Controls().size(), 4u);
    EXPECT_EQ(form.Controls()[0]->Name(), "Second");
    EXPECT_EQ(form.Controls()[1]->Kind(), "ListBox");
    EXPECT_EQ(form.Controls()[3]->Window(), nullptr);  // a timer has no window

    int dpi = 0;
    {
        win32::WindowDc screen(nullptr);
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    }
    RECT client;
    GetClientRect(form.Window(), &client);
    EXPECT_EQ(client.right, MulDiv(3000, dpi, 1440));
    RECT first = ClientRectIn(form.Window(), form.Get<PushButton>("First").Window());
    EXPECT_EQ(first.left, MulDiv(150, dpi, 1440));
    EXPECT_EQ(first.top, MulDiv(900, dpi, 1440));
    EXPECT_EQ(first.right - first.left, MulDiv(1500, dpi, 1440));

    wchar_t caption[32] = {};
    GetWindowTextW(form.Window(), caption, 32);
    EXPECT_STREQ(caption, L"Sample");
    form.Unload();
}

TEST_F(FormHost, TabOrderFollowsTabIndex) {
    RecordingForm form(Describe(kSampleForm));
    ASSERT_TRUE(form.Load());
    HWND first = GetNextDlgTabItem(form.Window(), nullptr, FALSE);
    EXPECT_EQ(first, form.Get<PushButton>("First").Window());
    EXPECT_EQ(GetNextDlgTabItem(form.Window(), first, FALSE), form.Get<PushButton>("Second").Window());
    form.Unload();
}

TEST_F(FormHost, ListBoxAppendsAtTheEndAndClears) {
    RecordingForm form(Describe(kSampleForm));
    ASSERT_TRUE(form.Load());
    ListBox& list = form.Get<ListBox>("List1");
    list.AddItem(L"b");
    list.AddItem(L"a");
    list.AddItem(L"Refreshing DHCP & DNS...");
    ASSERT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.List(0), L"b");
    EXPECT_EQ(list.List(2), L"Refreshing DHCP & DNS...");
    EXPECT_EQ(list.List(7), L"");
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    form.Unload();
}

TEST_F(FormHost, ButtonClicksAndTimerTicksReachTheirHandlers) {
    RecordingForm form(Describe(kSampleForm));
    ASSERT_TRUE(form.Load());
    form.Show();
    int clicks = 0, ticks = 0;
    PushButton& button = form.Get<PushButton>("First");
    button.onClick = [&] { ++clicks; };
    SendMessageW(button.Window(), BM_CLICK, 0, 0);
    ProcessPendingMessages();
    EXPECT_EQ(clicks, 1);

    button.SetEnabled(false);
    EXPECT_FALSE(button.Enabled());

    Timer& timer = form.Get<Timer>("Ticker");
    timer.onTimer = [&] { ++ticks; };
    PumpFor(100);
    EXPECT_EQ(ticks, 0);  // disabled in the description
    timer.SetEnabled(true);
    PumpFor(300);
    EXPECT_GT(ticks, 2);
    timer.SetEnabled(false);
    int stopped = ticks;
    PumpFor(100);
    EXPECT_EQ(ticks, stopped);
    form.Unload();
}

TEST_F(FormHost, UnloadRaisesQueryUnloadThenUnloadAndMayBeCancelled) {
    RecordingForm form(Describe(kSampleForm));
    ASSERT_TRUE(form.Load());
    size_t loadedBefore = Form::LoadedCount();
    form.cancelClose = true;
    SendMessageW(form.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.events, (std::vector<std::string>{"Load", "QueryUnload"}));

    form.cancelClose = false;
    form.Unload();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(Form::LoadedCount(), loadedBefore - 1);
    EXPECT_EQ(form.events, (std::vector<std::string>{"Load", "QueryUnload", "QueryUnload", "Unload"}));
    form.Unload();  // unloading twice is harmless
    EXPECT_EQ(form.events.size(), 4u);
}

TEST_F(FormHost, MessageLoopEndsWhenTheLastFormUnloads) {
    RecordingForm form(Describe(kSampleForm));
    ASSERT_TRUE(form.Load());
    form.Show();
    PostMessageW(form.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_FALSE(form.IsLoaded());
}

TEST_F(FormHost, UnknownControlKindFailsTheLoad) {
    RecordingForm form(Describe("Begin Form F\n Begin Gizmo G\n End\nEnd\n"));
    EXPECT_FALSE(form.Load());
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(form.events.empty());
}

TEST_F(FormHost, MainWindowDescriptionLoadsFromTheResources) {
    ParsedForm parsed = LoadFormResource(L"FRMMAIN");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    Form form(std::move(parsed.form));
    ASSERT_TRUE(form.Load());
    // Icon, picture and cursor came from the side data.
    EXPECT_NE(SendMessageW(form.Window(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(form.Get<Picture>("Image2").MouseCursor(), nullptr);
    EXPECT_NE(form.Get<Label>("Label4").MouseCursor(), nullptr);
    EXPECT_EQ(form.Get<Label>("Label4").ForeColor(), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_FALSE(form.Get<Timer>("Timer1").Enabled());
    EXPECT_EQ(form.Get<Timer>("Timer1").Interval(), 100u);
    EXPECT_EQ(form.ScaleMode(), 1);  // twips, which its windowless controls convert from

    // Every control shares the window's font: Verdana 6.75 points, bold.
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(form.Get<PushButton>("Command2").Window(), WM_GETFONT, 0, 0));
    ASSERT_NE(handle, nullptr);
    ASSERT_TRUE(GetObjectW(handle, sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, L"Verdana");
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfCharSet, 0);
    int dpi = 0;
    {
        win32::WindowDc screen(nullptr);
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    EXPECT_EQ(font.lfHeight, -static_cast<int>(std::lround(6.75 * dpi / 72)));
    EXPECT_EQ(SendMessageW(form.Get<ListBox>("List1").Window(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(handle));
    form.Unload();
    EXPECT_FALSE(LoadFormResource(L"NO_SUCH_FORM").ok);
}

TEST_F(FormHost, MainWindowArtworkIsStoredAsTheImageControlWritesIt) {
    ParsedForm stored = LoadFormResource(L"FRMMAIN");
    ASSERT_TRUE(stored.ok) << stored.error;
    FormOptions design;
    design.userMode = false;
    Form form(stored.form, std::move(design));
    ASSERT_TRUE(form.Load());
    const c32bppDIB& art = form.Get<AlphaImage>("aicAlphaImage1").Image()->pvGetImageObject();
    EXPECT_EQ(std::vector<int>({art.Width(), art.Height(), art.ImageType()}), std::vector<int>({128, 128, imgPNG}));
    Bytes blobs;
    const std::string text = form.WriteDescription(blobs);
    ParsedForm written = ParseFormDescription(text, blobs);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.form, stored.form);
}

}  // namespace
}  // namespace host
