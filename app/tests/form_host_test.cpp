// The form host under Wine: forms built from descriptions, their controls,
// events and the message loop.
#include "app/host/form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
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

const char kButtonsForm[] = R"(
Begin Form FrmButtons
    ClientWidth = 4500
    ClientHeight = 3000
    Begin Frame Frame1
        Caption = "Group"
        Left = 150
        Top = 150
        Width = 2400
        Height = 2400
        Begin OptionButton InA
            Caption = "A"
            Left = 150
            Top = 300
            Width = 1800
            Height = 300
            Value = true
        End
        Begin OptionButton InB
            Caption = "B"
            Left = 150
            Top = 750
            Width = 1800
            Height = 300
        End
        Begin CheckBox Plain
            Caption = "Plain"
            Left = 150
            Top = 1200
            Width = 1800
            Height = 300
            Value = 2
        End
        Begin CheckBox Pictured
            Caption = "Pictured"
            Style = 1
            Left = 150
            Top = 1650
            Width = 1800
            Height = 600
        End
    End
    Begin OptionButton Outside
        Caption = "Outside"
        Left = 2700
        Top = 150
        Width = 1500
        Height = 300
        Value = true
    End
    Begin PushButton Go
        Caption = "Go"
        Default = true
        Left = 2700
        Top = 900
        Width = 1500
        Height = 450
    End
End
)";

TEST_F(FormHost, FramesHoldTheirControlsAndButtonsKeepTheirValues) {
    RecordingForm form(Describe(kButtonsForm));
    ASSERT_TRUE(form.Load());
    form.Show();
    HWND frame = form.Find("Frame1")->Window();
    auto& a = form.Get<OptionButton>("InA");
    auto& b = form.Get<OptionButton>("InB");
    auto& outside = form.Get<OptionButton>("Outside");
    auto& plain = form.Get<CheckBox>("Plain");
    auto& pictured = form.Get<CheckBox>("Pictured");
    EXPECT_EQ(GetParent(a.Window()), frame);
    EXPECT_EQ(a.Container(), form.Find("Frame1"));
    EXPECT_EQ(ClientRectIn(frame, a.Window()).top, form.TwipsToPixelsY(300));
    EXPECT_EQ(GetWindowLongW(pictured.Window(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(SendMessageW(plain.Window(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);

    // Clicks reach the form through the frame; options clear their container's others only.
    int clicks = 0;
    b.onClick = [&] { ++clicks; };
    SendMessageW(b.Window(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(std::make_tuple(a.Value(), b.Value(), outside.Value()), std::make_tuple(0, 1, 1));
    EXPECT_EQ(SendMessageW(a.Window(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(plain.Window(), BM_CLICK, 0, 0);
    SendMessageW(pictured.Window(), BM_CLICK, 0, 0);
    EXPECT_EQ(std::make_pair(plain.Value(), pictured.Value()), std::make_pair(1, 1));
    SendMessageW(pictured.Window(), BM_CLICK, 0, 0);
    EXPECT_EQ(pictured.Value(), 0);

    SetFocus(b.Window());
    EXPECT_EQ(form.ActiveControl(), &b);
    EXPECT_EQ(b.Default(), std::nullopt);
    EXPECT_EQ(form.Get<PushButton>("Go").Default(), -1);
    LRESULT defaultId = SendMessageW(form.Window(), DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(defaultId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defaultId), form.Find("Go")->Id());

    // Written back, the frame still holds its four controls.
    Bytes blobs;
    const std::string text = form.WriteDescription(blobs);
    ParsedForm written = ParseFormDescription(text, blobs);
    ASSERT_TRUE(written.ok) << written.error;
    ASSERT_EQ(written.form.children.size(), 3u);
    EXPECT_EQ(written.form.children[0].children.size(), 4u);
    EXPECT_EQ(written.form.children[0].children[3].name, "Pictured");
    EXPECT_EQ(written.form.children[1].name, "Outside");
}

TEST_F(FormHost, WindowlessControlInsideAFrameFailsTheLoad) {
    RecordingForm form(Describe("Begin Form F\n Begin Frame G\n  Begin aicAlphaImage I\n  End\n End\nEnd\n"));
    EXPECT_FALSE(form.Load());
    EXPECT_FALSE(form.IsLoaded());
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
