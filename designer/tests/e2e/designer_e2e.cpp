// Drives mendlow-designer.exe through its windows, as a user would: a copy
// of the main window's description is opened, the image control clicked,
// a PNG browsed for and another taken from the clipboard on the "Image
// Source" sheet, a property changed in the
// list, unsaved changes asked about, the description saved; and a
// description it cannot read.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/host/form.h"
#include "app/tests/file_drop_data.h"
#include "app/tests/list_lines.h"
#include "app/tests/running_program.h"
#include "app/tests/screenshot.h"
#include "app/tests/xdotool.h"
#include "common/program_folder.h"
#include "imagecontrol/tests/recording_site.h"

namespace {

constexpr int kPropertyList = 10;
constexpr int kPropertyHelp = 12;
constexpr int kPropertyEdit = 11;
constexpr int kCommandSave = 2;
constexpr int kCommandSetProperty = 5;

// Beside the programs, where the build finds the saved description to make
// mendlow-designed.exe from it.
std::wstring WorkFolder() {
    std::wstring path = win32::ProgramFolder() + L"designer-e2e\\";
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

bool Write(const std::wstring& path, const void* data, size_t size) {
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    bool ok = std::fwrite(data, 1, size, out) == size;
    return std::fclose(out) == 0 && ok;
}

Bytes Read(const std::wstring& path) {
    Bytes bytes;
    FILE* in = _wfopen(path.c_str(), L"rb");
    if (!in) return bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(in);
    return bytes;
}

bool WriteResource(const wchar_t* name, const std::wstring& path) {
    HRSRC found = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    return loaded && Write(path, LockResource(loaded), SizeofResource(nullptr, found));
}

struct Search {
    const wchar_t* windowClass;
    const wchar_t* text;
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t name[64] = {}, text[256] = {};
    GetClassNameW(window, name, 64);
    GetWindowTextW(window, text, 256);
    if (_wcsicmp(name, search->windowClass) == 0 && (!search->text || std::wstring(text) == search->text)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Any window below parent (children of children too).
HWND Descendant(HWND parent, const wchar_t* windowClass, const wchar_t* text = nullptr) {
    Search search{windowClass, text};
    EnumChildWindows(parent, Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 10000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) return true;
        Sleep(50);
    }
    return false;
}

// The message box of another process: the text of its message.
std::wstring MessageText(HWND box) {
    HWND text = Descendant(box, L"Static");
    wchar_t buffer[1024] = {};
    // Icons are statics without text: take the first one that has some.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (_wcsicmp(name, L"Static") == 0 && GetWindowTextW(child, buffer, 1024) > 0) return buffer;
    }
    return text ? L"" : L"(none)";
}

// The designer's message box once its text is there: the box exists before
// its controls do.
HWND WaitForMessageBox(DWORD timeoutMs = 10000) {
    HWND box = nullptr;
    WaitFor([&] {
        box = FindWindowW(L"#32770", L"Mendlow designer");
        const std::wstring text = box ? MessageText(box) : L"";
        return !text.empty() && text != L"(none)";
    }, timeoutMs);
    return box;
}

bool PutFilesOnClipboard(const std::vector<std::wstring>& names) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool put = SetClipboardData(CF_HDROP, DropFilesBlock(names)) != nullptr;
    CloseClipboard();
    return put;
}

TEST(Designer, OpensChoosesAPictureChangesAPropertyAndSaves) {
    ASSERT_NE(GetFileAttributesW(kXdotool), INVALID_FILE_ATTRIBUTES) << "xdotool is missing (scripts/setup)";
    std::wstring folder = WorkFolder();
    std::wstring form = folder + L"FrmMain.form", side = folder + L"FrmMain.blobs", art = folder + L"new-art.png";
    ASSERT_TRUE(WriteResource(L"FRMMAIN", form) && WriteResource(L"FRMMAIN_BLOBS", side));
    Bytes png = MakePng(64, 48, [](int, int) { return std::array{30, 160, 220, 255}; });
    ASSERT_TRUE(Write(art, png.data(), png.size()));
    std::wstring browsed = folder + L"browsed.png";
    Bytes small = OpaquePng(20, 30);
    ASSERT_TRUE(Write(browsed, small.data(), small.size()));

    RunningProgram designer(L"mendlow-designer.exe", L"\"" + form + L"\"");
    HWND window = designer.WaitForWindow(L"MendlowDesigner", (form + L" - Mendlow designer").c_str(), 60000);
    ASSERT_NE(window, nullptr);
    HWND designed = FindWindowExW(window, nullptr, L"MendlowForm", nullptr);
    HWND list = GetDlgItem(window, kPropertyList);
    ASSERT_TRUE(designed && list);

    // The real pointer clicks the artwork (4..132 pixels in from the form's corner).
    POINT at{40, 40};
    ClientToScreen(designed, &at);
    ASSERT_TRUE(MoveTo(at) && Xdotool(L"click 1"));
    ASSERT_TRUE(WaitFor([&] {
        auto lines = ListLines(list);
        return !lines.empty() && lines[0] == L"(Name)\taicAlphaImage1";
    }));

    ASSERT_TRUE(PutFilesOnClipboard({art}));
    PostMessageW(Descendant(window, L"Button", L"Image Source..."), BM_CLICK, 0, 0);
    HWND sheet = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (sheet = FindWindowW(L"MendlowForm", L"aicAlphaImage1 Properties")) != nullptr; }));
    HWND apply = Descendant(sheet, L"Button", L"Apply");
    EXPECT_FALSE(IsWindowEnabled(apply));

    // "Browse": the system's dialog, given a file name as a user types one.
    PostMessageW(Descendant(sheet, L"Button", L"Browse"), BM_CLICK, 0, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {  // with its name box, which comes after the dialog itself
        dialog = FindWindowW(L"#32770", L"Select Image");
        return dialog && (GetDlgItem(dialog, 0x47C) || GetDlgItem(dialog, 0x480));
    }));
    for (int nameBox : {0x47C, 0x480}) SetDlgItemTextW(dialog, nameBox, browsed.c_str());  // cmb13, edt1
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return Descendant(sheet, L"Static", L"20 x 30 - PNG file") != nullptr; }));
    EXPECT_TRUE(IsWindowEnabled(apply));
    SendMessageW(Descendant(sheet, L"Button", L"From Clipboard"), BM_CLICK, 0, 0);
    EXPECT_NE(Descendant(sheet, L"Static", L"64 x 48 - PNG file"), nullptr);
    Sleep(200);
    SaveScreenshot(sheet, win32::ProgramFolder() + L"designer-image-source.bmp");
    PostMessageW(Descendant(sheet, L"Button", L"OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(sheet); }));

    // Opacity through the list, as the control's own setter takes it.
    LRESULT line = SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Opacity\t"));
    ASSERT_NE(line, LB_ERR);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(kPropertyList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    wchar_t help[256] = {};
    GetWindowTextW(GetDlgItem(window, kPropertyHelp), help, 256);
    EXPECT_EQ(std::wstring(help),
              L"Returns/Sets the level of translucency for the control. 100 is fully opaque and 0 is transparent");
    SetWindowTextW(GetDlgItem(window, kPropertyEdit), L"60");
    SendMessageW(GetDlgItem(window, kCommandSetProperty), BM_CLICK, 0, 0);
    EXPECT_EQ(ListLines(list)[static_cast<size_t>(line)], L"Opacity\t60");
    Sleep(200);
    SaveScreenshot(window, win32::ProgramFolder() + L"designer.bmp");
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    EXPECT_EQ(std::wstring(title), form + L" * - Mendlow designer");

    // Closing with unsaved changes asks first; cancelling keeps the window.
    PostMessageW(window, WM_CLOSE, 0, 0);
    HWND question = WaitForMessageBox();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageText(question), L"Save the changes to " + form + L"?");
    SendMessageW(question, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(question); }));
    EXPECT_TRUE(IsWindow(window));

    SendMessageW(window, WM_COMMAND, kCommandSave, 0);
    GetWindowTextW(window, title, 512);
    EXPECT_EQ(std::wstring(title), form + L" - Mendlow designer");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(designer.WaitForExit(10000), 0);

    Bytes text = Read(form), blobs = Read(side);
    host::ParsedForm saved = host::ParseFormDescription(std::string(text.begin(), text.end()), blobs);
    ASSERT_TRUE(saved.ok) << saved.error;
    const host::FormObject* image = nullptr;
    for (const host::FormObject& child : saved.form.children)
        if (child.name == "aicAlphaImage1") image = &child;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->properties.ReadInt("Opacity", 100), 60);
    EXPECT_EQ(image->properties.ReadBytes("Image"), png);
}

TEST(Designer, NamesTheFileAndLineOfADescriptionItCannotRead) {
    std::wstring broken = WorkFolder() + L"Broken.form";
    const char text[] = "Begin Form Broken\n    Caption = \"unterminated\n";
    ASSERT_TRUE(Write(broken, text, sizeof text - 1));
    RunningProgram designer(L"mendlow-designer.exe", L"\"" + broken + L"\"");
    HWND box = WaitForMessageBox(60000);
    ASSERT_NE(box, nullptr);
    std::wstring message = MessageText(box);
    EXPECT_NE(message.find(broken), std::wstring::npos) << std::string(message.begin(), message.end());
    EXPECT_NE(message.find(L"line 2"), std::wstring::npos);
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    HWND window = designer.WaitForWindow(L"MendlowDesigner", L"Mendlow designer", 10000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowExW(window, nullptr, L"MendlowForm", nullptr), nullptr) << "nothing opened";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(designer.WaitForExit(10000), 0);
}

// mendlow.exe built from what the first test saved: the new picture at the
// control's place, drawn at the opacity the list set.
TEST(DesignedProgram, ShowsTheChosenPictureAtTheChangedOpacity) {
    RunningProgram program(L"mendlow-designed.exe");
    ASSERT_TRUE(program.Started()) << "built by the designed_build test from the saved description";
    HWND window = program.WaitForMainWindow(60000);
    ASSERT_NE(window, nullptr);
    Sleep(500);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto blend = [](int picture, int background) { return (picture * 60 + background * 40 + 50) / 100; };
    const int expected[3] = {blend(30, GetRValue(face)), blend(160, GetGValue(face)), blend(220, GetBValue(face))};
    // The control sits 4 pixels in from the corner and takes the picture's 64 x 48.
    for (POINT at : {POINT{10, 10}, POINT{36, 28}, POINT{64, 48}}) {
        POINT screen = at;
        ClientToScreen(window, &screen);
        win32::WindowDc dc(nullptr);
        COLORREF shown = GetPixel(dc.get(), screen.x, screen.y);
        EXPECT_NEAR(GetRValue(shown), expected[0], 3) << at.x << "," << at.y;
        EXPECT_NEAR(GetGValue(shown), expected[1], 3) << at.x << "," << at.y;
        EXPECT_NEAR(GetBValue(shown), expected[2], 3) << at.x << "," << at.y;
    }
    POINT outside{4 + 64 + 6, 10};  // past the picture: the window's own face
    ClientToScreen(window, &outside);
    win32::WindowDc dc(nullptr);
    EXPECT_EQ(GetPixel(dc.get(), outside.x, outside.y) & 0xFFFFFF, face & 0xFFFFFF);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(10000), 0);
}

}  // namespace
