// The demo form driven with the real pointer: demo_form.exe runs in the
// virtual display, xdotool moves and clicks the X pointer, and the test reads
// the form's event log. Drops are made in-process on the form's own target.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/demo/demo_form.h"
#include "app/tests/file_drop_data.h"
#include "app/tests/list_lines.h"
#include "app/tests/running_program.h"
#include "app/tests/xdotool.h"

namespace {

using Lines = std::vector<std::wstring>;


// The lines a list box gained since the last call, once there are at least
// `count` of them and no more came for settleMs.
class LogReader {
public:
    explicit LogReader(HWND list) : list_(list) {}

    Lines Next(size_t count, DWORD settleMs = 400, DWORD timeoutMs = 5000) {
        Lines lines = ListLines(list_);
        for (DWORD waited = 0; lines.size() < seen_ + count && waited < timeoutMs; waited += 20) {
            Sleep(20);
            lines = ListLines(list_);
        }
        for (DWORD quiet = 0; quiet < settleMs; quiet += 20) {
            Sleep(20);
            Lines again = ListLines(list_);
            if (again.size() != lines.size()) quiet = 0;
            lines = std::move(again);
        }
        Lines added(lines.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, lines.size())), lines.end());
        seen_ = lines.size();
        return added;
    }

private:
    HWND list_;
    size_t seen_ = 0;
};

// Client points of the demo form (DemoForm.form has the layout).
constexpr POINT kBackground{240, 160};
constexpr POINT kArt1Only{60, 100};
constexpr POINT kArt2OverArt1{130, 100};  // in Art2's box, over Art1
constexpr POINT kArt2OutsideItsBox{105, 100};  // Art2's rectangle but not its picture's box: Art1 below
constexpr POINT kArt3Hole{320, 80};
constexpr POINT kArt3Ring{320, 35};

class DemoFormWithPointer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(GetFileAttributesW(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is missing (scripts/setup)";
        ASSERT_TRUE(program_.Started());
        window_ = program_.WaitForWindow(L"MendlowForm", L"Mendlow demo form", 30000);
        ASSERT_NE(window_, nullptr);
        HWND list = FindWindowExW(window_, nullptr, L"ListBox", nullptr);
        ASSERT_NE(list, nullptr);
        log_.emplace(list);
        ASSERT_TRUE(Move(kBackground));
        log_->Next(0);  // whatever the start-up raised
    }
    void TearDown() override { PostMessageW(window_, WM_CLOSE, 0, 0); }

    bool Move(POINT client) {
        ClientToScreen(window_, &client);
        return MoveTo(client);
    }
    static bool Click() { return Xdotool(L"click 1"); }
    // Presses on the same spot further apart than a double click.
    static void AwaitDoubleClickTime() { Sleep(GetDoubleClickTime() + 100); }

    RunningProgram program_{L"demo_form.exe"};
    HWND window_ = nullptr;
    std::optional<LogReader> log_;
};

TEST_F(DemoFormWithPointer, EnterMoveClickAndExitFollowThePointerOverOverlappingControls) {
    ASSERT_TRUE(Move(kArt1Only));
    EXPECT_EQ(log_->Next(2), (Lines{L"Art1 MouseEnter", L"Art1 MouseMove 0 0 40 80"}));
    // Straight onto Art2 on top: Art1 exits before Art2 enters.
    ASSERT_TRUE(Move(kArt2OverArt1));
    EXPECT_EQ(log_->Next(3), (Lines{L"Art1 MouseExit", L"Art2 MouseEnter", L"Art2 MouseMove 0 0 30 40"}));
    ASSERT_TRUE(Click());
    EXPECT_EQ(log_->Next(3), (Lines{L"Art2 MouseDown 1 0 30 40", L"Art2 MouseUp 1 0 30 40", L"Art2 Click 1"}));
    // Off Art2's picture but still in its rectangle: Art1 below has the mouse.
    ASSERT_TRUE(Move(kArt2OutsideItsBox));
    EXPECT_EQ(log_->Next(3), (Lines{L"Art2 MouseExit", L"Art1 MouseEnter", L"Art1 MouseMove 0 0 85 80"}));
    ASSERT_TRUE(Move(kBackground));
    EXPECT_EQ(log_->Next(1), (Lines{L"Art1 MouseExit"}));
}

TEST_F(DemoFormWithPointer, ClickStartsAFadeThatEndsOnceAtItsTarget) {
    ASSERT_TRUE(Move(kArt1Only));
    log_->Next(2);
    for (const wchar_t* ended : {L"Art1 FadeTerminated 0", L"Art1 FadeTerminated 100"}) {
        ASSERT_TRUE(Click());
        EXPECT_EQ(log_->Next(4, 600),
                  (Lines{L"Art1 MouseDown 1 0 40 80", L"Art1 MouseUp 1 0 40 80", L"Art1 Click 1", ended}));
        AwaitDoubleClickTime();
    }
}

TEST_F(DemoFormWithPointer, TransparentHoleOfAShapedControlRaisesNothing) {
    ASSERT_TRUE(Move(kArt3Hole));
    EXPECT_EQ(log_->Next(0, 500), Lines{});
    ASSERT_TRUE(Click());
    ASSERT_TRUE(Move({kArt3Hole.x + 4, kArt3Hole.y + 4}));
    EXPECT_EQ(log_->Next(0, 500), Lines{});
    ASSERT_TRUE(Move(kArt3Ring));
    EXPECT_EQ(log_->Next(2), (Lines{L"Art3 MouseEnter", L"Art3 MouseMove 0 0 60 15"}));
    ASSERT_TRUE(Move(kArt3Hole));
    EXPECT_EQ(log_->Next(1, 500), (Lines{L"Art3 MouseExit"}));
}

// In this process: the test hands the form's drop target a data object of
// dropped files, as the system's drag loop would.
TEST(DemoFormDrop, WideFileNameReachesTheDropTargetIntact) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        host::ParsedForm parsed = demo::LoadDemoForm();
        ASSERT_TRUE(parsed.ok) << parsed.error;
        demo::DemoForm form(std::move(parsed.form));
        ASSERT_TRUE(form.Load());
        form.Show();
        IDropTarget* target = form.RegisteredDropTarget();
        ASSERT_NE(target, nullptr);

        const std::wstring name = L"C:\\\u0394\u03bf\u03ba\u03b9\u03bc\u03ae\\\u65e5\u672c\u8a9e.png";
        win32::ComPtr<IDataObject> data = FileDropData::Make({name});
        POINT art4{450, 70};
        ClientToScreen(form.Window(), &art4);
        const DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        DWORD effect = allowed;
        target->DragEnter(data.get(), MK_LBUTTON, {art4.x, art4.y}, &effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
        effect = allowed;
        target->DragOver(MK_LBUTTON, {art4.x + 1, art4.y}, &effect);
        effect = allowed;
        target->Drop(data.get(), 0, {art4.x + 1, art4.y}, &effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));

        Lines drops;
        for (const std::wstring& line : ListLines(form.Get<host::ListBox>("Log").Window()))
            if (line.find(L"OLEDrag") != std::wstring::npos) drops.push_back(line);
        EXPECT_EQ(drops, (Lines{L"Art4 OLEDragOver 0", L"Art4 OLEDragOver 2", L"Art4 OLEDragDrop " + name}));
        form.Unload();
    }
    OleUninitialize();
}

}  // namespace
