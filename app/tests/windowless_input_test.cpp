// Mouse, keys and drops for windowless controls on a form under Wine: which
// control receives them, in what order, and what their handlers change.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/host/alpha_image.h"
#include "app/host/form.h"
#include "app/host/message_pump.h"
#include "app/tests/file_drop_data.h"

namespace host {
namespace {

// A test control that logs every input call as "Name Event values...". It
// is hit where x >= HitFromX inside its rectangle; its stored keys set the
// host's values (Pointer, Drop, Disabled).
class Pad {
public:
    Pad(ControlSite& site, std::vector<std::string>& log)
        : site_(site), log_(log), name_(dynamic_cast<WindowlessControl&>(site).Name()) {}

    void InitProperties() {}
    void ReadProperties() {
        if (const PropertyValue* v = site_.ReadProperty("HitFromX")) hitFromX_ = std::get<int64_t>(*v);
        if (const PropertyValue* v = site_.ReadProperty("Pointer")) site_.SetMousePointer(std::get<int64_t>(*v));
        if (site_.ReadProperty("Drop")) site_.SetOLEDropMode(1);
        if (site_.ReadProperty("Disabled")) site_.SetEnabled(false);
    }
    void WriteProperties() {}
    void Show() {}
    void Hide() {}
    void Resize() {}
    void Paint(const PaintSurface&, const PixelRect&) {}

    void OnHitTest(float x, float y, int16_t& result) {
        Log("HitTest", x, y);
        if (x >= hitFromX_ && y >= 0 && x < site_.ScaleWidth() && y < site_.ScaleHeight()) result = 3;
    }
    void OnMouseDown(int16_t& b, int16_t& s, float x, float y) { Log("MouseDown", b, s, x, y); }
    void OnMouseMove(int16_t& b, int16_t& s, float x, float y) { Log("MouseMove", b, s, x, y); }
    void OnMouseUp(int16_t& b, int16_t& s, float x, float y) { Log("MouseUp", b, s, x, y); }
    void OnClick() { Log("Click"); }
    void OnDblClick() { Log("DblClick"); }
    void OnKeyDown(int16_t& code, int16_t& shift) {
        Log("KeyDown", code, shift);
        if (code == swallowKey) code = 0;
    }
    void OnKeyPress(int16_t& ascii) {
        Log("KeyPress", ascii);
        if (ascii == swallowChar) ascii = 0;
    }
    void OnKeyUp(int16_t& code, int16_t& shift) { Log("KeyUp", code, shift); }
    void OnOLEDragOver(void*& data, int32_t& effect, int16_t& b, int16_t& s, float x, float y, int16_t& state) {
        Log("DragOver", state, effect, b, s, x, y);
        lastData = data;
        effect = DROPEFFECT_LINK;
    }
    void OnOLEDragDrop(void*& data, int32_t& effect, int16_t& b, int16_t& s, float x, float y) {
        Log("DragDrop", effect, b, s, x, y);
        c32bppDIB().GetDroppedFileNames(static_cast<IDataObject*>(data), dropped);
        effect = DROPEFFECT_LINK;
    }

    int16_t swallowKey = -1, swallowChar = -1;
    void* lastData = nullptr;
    std::vector<std::wstring> dropped;

private:
    template <class... Values>
    void Log(const char* what, Values... values) {
        std::ostringstream line;
        line << name_ << ' ' << what;
        ((line << ' ' << values), ...);
        log_.push_back(line.str());
    }

    ControlSite& site_;
    std::vector<std::string>& log_;
    std::string name_;
    int64_t hitFromX_ = 0;
};

// At 96 DPI in a 200 x 100 client area: Under (20,10)-(120,60), crosshair
// pointer; Over (80,40)-(180,90) on top of it, hit from client x 110 on;
// Off over everything but disabled; the button Go at (180,80)-(200,100).
const char kPads[] = R"(
Begin Form F
    ClientWidth = 3000
    ClientHeight = 1500
    Begin Pad Under
        Left = 300
        Top = 150
        Width = 1500
        Height = 750
        Pointer = 2
        Drop = true
    End
    Begin Pad Over
        Left = 1200
        Top = 600
        Width = 1500
        Height = 750
        HitFromX = 30
        Drop = true
    End
    Begin Pad Off
        Width = 3000
        Height = 1500
        Disabled = true
        Drop = true
    End
    Begin PushButton Go
        Caption = "&Go"
        Left = 2700
        Top = 1200
        Width = 300
        Height = 300
        TabIndex = 0
    End
End
)";

class WindowlessInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));  // drop targets need OLE
        // The real pointer stays away from the form: only the test's messages count.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        form_ = Open(kPads);
        form_->Show();
        window_ = form_->Window();
    }
    void TearDown() override {
        form_.reset();
        OleUninitialize();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::unique_ptr<Form> Open(const char* text) {
        ParsedForm parsed = ParseFormDescription(text, {});
        EXPECT_TRUE(parsed.ok) << parsed.error;
        FormOptions options;
        options.dpi = 96;
        options.windowlessKinds["Pad"] = [this](ControlSite& site) {
            return std::make_unique<HostedObject<Pad>>(site, log_);
        };
        auto form = std::make_unique<Form>(std::move(parsed.form), std::move(options));
        EXPECT_TRUE(form->Load());
        return form;
    }

    void Send(UINT message, POINT at, WPARAM keys = 0) {
        SendMessageW(window_, message, keys, MAKELPARAM(at.x, at.y));
    }
    void Click(POINT at, UINT down = WM_LBUTTONDOWN) {
        Send(down, at);
        const bool left = down == WM_LBUTTONDOWN || down == WM_LBUTTONDBLCLK;
        const bool right = down == WM_RBUTTONDOWN || down == WM_RBUTTONDBLCLK;
        Send(left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : WM_MBUTTONUP, at);
    }
    // What was logged since the last call; hit tests only when asked for.
    std::vector<std::string> Take(bool withHitTests = false) {
        std::vector<std::string> taken;
        for (std::string& line : log_)
            if (withHitTests || line.find(" HitTest ") == std::string::npos) taken.push_back(std::move(line));
        log_.clear();
        return taken;
    }
    Pad& PadOf(const std::string& name) { return *form_->Get<WindowlessControl>(name).Object<Pad>(); }

    std::vector<std::string> log_;
    std::unique_ptr<Form> form_;
    HWND window_ = nullptr;
};

using Lines = std::vector<std::string>;

TEST_F(WindowlessInputTest, MouseGoesToTheTopmostControlThatAnswersItsHitTest) {
    struct Step {
        UINT message;
        POINT at;
        WPARAM keys;
        Lines expected;
    };
    const Step steps[] = {
        {WM_MOUSEMOVE, {30, 20}, 0, {"Under HitTest 10 10", "Under MouseMove 0 0 10 10"}},
        // Over is asked first and misses; Under, below it, is hit.
        {WM_MOUSEMOVE, {90, 50}, MK_SHIFT, {"Over HitTest 10 10", "Under HitTest 70 40", "Under MouseMove 0 1 70 40"}},
        {WM_MOUSEMOVE, {150, 50}, MK_CONTROL, {"Over HitTest 70 10", "Over MouseMove 0 2 70 10"}},
        // Off every control: the one hit last hears of a point outside it, once.
        {WM_MOUSEMOVE, {190, 20}, 0, {"Over HitTest -1 -1"}},
        {WM_MOUSEMOVE, {190, 20}, 0, {}},
        {WM_MOUSEMOVE, {30, 20}, 0, {"Under HitTest 10 10", "Under MouseMove 0 0 10 10"}},
        {WM_MOUSELEAVE, {}, 0, {"Under HitTest -1 -1"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.at.x << "," << step.at.y);
        Send(step.message, step.at, step.keys);
        EXPECT_EQ(Take(true), step.expected);  // never the disabled Off
    }

    // The cursor of the control under the mouse, else the form's.
    Send(WM_MOUSEMOVE, {30, 20});
    SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32515) /* IDC_CROSS */));
    Send(WM_MOUSEMOVE, {150, 50});
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */));
}

TEST_F(WindowlessInputTest, ControlThatTookThePressKeepsTheMouseUntilRelease) {
    Send(WM_LBUTTONDOWN, {30, 20}, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), window_);
    Send(WM_MOUSEMOVE, {150, 50}, MK_LBUTTON);  // over Over, which is not asked
    Send(WM_LBUTTONUP, {190, 20});
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Take(true), (Lines{"Under HitTest 10 10", "Under MouseDown 1 0 10 10", "Under MouseMove 1 0 130 40",
                                 "Under MouseUp 1 0 170 10", "Under HitTest -1 -1"}));  // released outside: no Click

    // Released on another control: no Click for either.
    Click({150, 50});
    Send(WM_LBUTTONDOWN, {150, 50});
    Send(WM_LBUTTONUP, {30, 20});
    EXPECT_EQ(Take(), (Lines{"Over MouseDown 1 0 70 10", "Over MouseUp 1 0 70 10", "Over Click",
                             "Over MouseDown 1 0 70 10", "Over MouseUp 1 0 -50 -20"}));

    // Each button by its own bit; the press ends when the last is up.
    Send(WM_RBUTTONDOWN, {30, 20});
    Send(WM_MBUTTONDOWN, {35, 20});
    Send(WM_RBUTTONUP, {40, 20});
    EXPECT_EQ(GetCapture(), window_);
    Send(WM_MBUTTONUP, {40, 20});
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Take(), (Lines{"Under MouseDown 2 0 10 10", "Under MouseDown 4 0 15 10", "Under MouseUp 2 0 20 10",
                             "Under MouseUp 4 0 20 10", "Under Click"}));
}

TEST_F(WindowlessInputTest, DoubleClickRaisesDblClickAndTheReleaseAfterIt) {
    Click({30, 20});
    Click({30, 20}, WM_LBUTTONDBLCLK);
    Click({30, 20});  // a third press starts over
    EXPECT_EQ(Take(), (Lines{"Under MouseDown 1 0 10 10", "Under MouseUp 1 0 10 10", "Under Click", "Under DblClick",
                             "Under MouseUp 1 0 10 10", "Under MouseDown 1 0 10 10", "Under MouseUp 1 0 10 10",
                             "Under Click"}));

    // The second press on another control than the one clicked is a press.
    Click({150, 50}, WM_MBUTTONDOWN);
    Click({30, 20}, WM_MBUTTONDBLCLK);
    EXPECT_EQ(Take(), (Lines{"Over MouseDown 4 0 70 10", "Over MouseUp 4 0 70 10", "Over Click",
                             "Under MouseDown 4 0 10 10", "Under MouseUp 4 0 10 10", "Under Click"}));
}

TEST_F(WindowlessInputTest, KeysReachTheClickedControlUntilAChildTakesTheFocus) {
    HWND go = form_->Get<PushButton>("Go").Window();
    int goClicks = 0;
    form_->Get<PushButton>("Go").onClick = [&] { ++goClicks; };
    ASSERT_EQ(GetFocus(), go);
    Click({30, 20});
    EXPECT_EQ(GetFocus(), window_);
    Take();

    auto post = [&](UINT message, WPARAM key) {
        PostMessageW(window_, message, key, 0);
        ProcessPendingMessages();
    };
    post(WM_KEYDOWN, VK_F5);
    post(WM_CHAR, 'x');
    post(WM_KEYUP, VK_F5);
    post(WM_KEYDOWN, VK_LEFT);  // arrows stay with the control
    EXPECT_EQ(GetFocus(), window_);
    EXPECT_EQ(Take(), (Lines{"Under KeyDown 116 0", "Under KeyPress 120", "Under KeyUp 116 0", "Under KeyDown 37 0"}));

    // A character the handler leaves goes on to the dialog keys (the
    // button's mnemonic); one it sets to 0 goes nowhere.
    PadOf("Under").swallowChar = 'g';
    post(WM_CHAR, 'g');
    EXPECT_EQ(goClicks, 0);
    PadOf("Under").swallowChar = -1;
    post(WM_CHAR, 'g');
    EXPECT_EQ(goClicks, 1);

    // So does Tab: swallowed it stays, otherwise it moves to the button,
    // which then keeps the focus.
    Click({30, 20});  // the mnemonic took the focus to its button
    PadOf("Under").swallowKey = VK_TAB;
    post(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), window_);
    PadOf("Under").swallowKey = -1;
    post(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), go);
    SetFocus(window_);
    EXPECT_EQ(GetFocus(), go);
    post(WM_KEYDOWN, VK_F5);
    EXPECT_EQ(Take(), (Lines{"Under KeyPress 103", "Under KeyPress 103", "Under MouseDown 1 0 10 10",
                             "Under MouseUp 1 0 10 10", "Under Click", "Under KeyDown 9 0", "Under KeyDown 9 0"}));
}

TEST_F(WindowlessInputTest, DropTargetTellsControlsOfEnterOverLeaveAndDrop) {
    IDropTarget* target = form_->RegisteredDropTarget();
    ASSERT_NE(target, nullptr);
    const std::vector<std::wstring> names = {L"C:\\\u03b1\u03b2.txt", L"C:\\\u65e5\u672c.png"};
    win32::ComPtr<IDataObject> data = FileDropData::Make(names);
    auto screen = [&](POINT client) {
        ClientToScreen(window_, &client);
        return POINTL{client.x, client.y};
    };
    const DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const DWORD left = MK_LBUTTON | MK_SHIFT;
    DWORD effect = allowed;
    ASSERT_EQ(target->DragEnter(data.get(), left, screen({30, 20}), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));  // what the handler left
    effect = allowed;
    target->DragOver(left, screen({31, 20}), &effect);
    effect = allowed;
    target->DragOver(left, screen({150, 50}), &effect);
    effect = allowed;
    target->DragOver(left, screen({190, 20}), &effect);  // over no control
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->DragLeave();
    EXPECT_EQ(Take(true), (Lines{"Under HitTest 10 10", "Under DragOver 0 3 1 1 10 10", "Under HitTest 11 10",
                                 "Under DragOver 2 3 1 1 11 10", "Over HitTest 70 10", "Under DragOver 1 3 1 1 130 40",
                                 "Over DragOver 0 3 1 1 70 10", "Over DragOver 1 3 1 1 110 -20"}));
    EXPECT_EQ(PadOf("Under").lastData, data.get());

    effect = allowed;
    target->DragEnter(data.get(), left, screen({150, 50}), &effect);
    target->DragLeave();  // where the drag was last
    effect = allowed;
    target->DragEnter(data.get(), left, screen({150, 50}), &effect);
    effect = allowed;
    ASSERT_EQ(target->Drop(data.get(), MK_CONTROL, screen({30, 20}), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(Take(), (Lines{"Over DragOver 0 3 1 1 70 10", "Over DragOver 1 3 1 1 70 10",
                             "Over DragOver 0 3 1 1 70 10", "Over DragOver 1 3 0 2 -50 -20",
                             "Under DragDrop 3 0 2 10 10"}));
    EXPECT_EQ(PadOf("Under").dropped, names);

    // No control takes drops: no target.
    for (const char* name : {"Under", "Over", "Off"}) form_->Get<WindowlessControl>(name).SetOLEDropMode(0);
    EXPECT_EQ(form_->RegisteredDropTarget(), nullptr);
    form_->Get<WindowlessControl>("Over").SetOLEDropMode(1);
    EXPECT_NE(form_->RegisteredDropTarget(), nullptr);
}

TEST_F(WindowlessInputTest, ImageControlsFindTheFirstOfTheirKindAndShareItsObject) {
    auto form = Open("Begin Form F\n Begin Pad P\n End\n Begin aicAlphaImage A\n End\n"
                     " Begin aicAlphaImage B\n End\nEnd\n");
    aicAlphaImage* a = form->Get<AlphaImage>("A").Image();
    aicAlphaImage* b = form->Get<AlphaImage>("B").Image();
    const ControlSite& site = form->Get<AlphaImage>("B");
    EXPECT_EQ(site.FirstControlOfType("aicAlphaImage"), static_cast<ICrossComm*>(a));
    EXPECT_EQ(site.FirstControlOfType("Pad"), nullptr);  // shares nothing
    EXPECT_EQ(site.FirstControlOfType("Label"), nullptr);
    // A, loaded first, found itself; B found A.
    ASSERT_NE(a->CrossTalkClass(), nullptr);
    EXPECT_EQ(a->CrossTalkClass(), b->CrossTalkClass());
    EXPECT_EQ(a->CrossTalkClass()->Count(), 2);
    // With A gone, a control added later is given B, which holds the object.
    const std::shared_ptr<cCrossComm> shared = b->CrossTalkClass();
    form->Get<AlphaImage>("A").Destroy();
    ASSERT_NE(form->AddControl({"aicAlphaImage", "C", {}, {}}), nullptr);
    EXPECT_EQ(form->Get<AlphaImage>("C").Image()->CrossTalkClass(), shared);
    EXPECT_EQ(shared->Count(), 2);
}

}  // namespace
}  // namespace host
