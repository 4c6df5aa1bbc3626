#include "designer/win32/designer_window.h"

#include <windowsx.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/host/alpha_image.h"
#include "app/host/text.h"
#include "codecs/file_writer.h"
#include "common/win32_handles.h"
#include "designer/alpha_image_properties.h"
#include "designer/win32/image_source_sheet.h"
#include "designer/win32/open_file_dialog.h"

namespace designer {
namespace {

constexpr wchar_t kClass[] = L"MendlowDesigner";
constexpr wchar_t kTitle[] = L"Mendlow designer";
constexpr int kMargin = 8;
constexpr int kPanelWidth = 280;

bool ReadFile(const std::wstring& path, std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    bytes.clear();
    char buffer[65536];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, read);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

std::wstring SideFile(const std::wstring& path) {
    size_t dot = path.find_last_of(L'.');
    size_t slash = path.find_last_of(L"\\/");
    std::wstring stem = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash) ? path.substr(0, dot) : path;
    return stem + L".blobs";
}

HWND Child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id) {
    HWND child = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

}  // namespace

DesignerWindow::~DesignerWindow() {
    form_.reset();
    if (window_) DestroyWindow(window_);
}

bool DesignerWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = kClass;
    RegisterClassExW(&windowClass);

    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kCommandOpen, L"&Open...");
    AppendMenuW(file, MF_STRING, kCommandSave, L"&Save");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kCommandExit, L"E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, kCommandImageSource, L"&Image Source...");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");

    window_ = CreateWindowExW(0, kClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              720, 480, nullptr, bar, GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    list_ = Child(window_, L"LISTBOX", L"", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
                  kPropertyList);
    const int valueColumn = 80;  // dialog units: past the longest property name
    SendMessageW(list_, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&valueColumn));
    help_ = Child(window_, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kPropertyHelp);
    edit_ = Child(window_, L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL, kPropertyEdit);
    setButton_ = Child(window_, L"BUTTON", L"Set", BS_PUSHBUTTON, kCommandSetProperty);
    imageButton_ = Child(window_, L"BUTTON", L"Image Source...", BS_PUSHBUTTON, kCommandImageSource);
    Layout();
    FillPropertyList();
    ShowWindow(window_, SW_SHOWNORMAL);
    return true;
}

void DesignerWindow::Warn(const std::wstring& text) const {
    MessageBoxW(window_, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
}

bool DesignerWindow::Open(const std::wstring& path) {
    std::string text, blobs;
    if (!ReadFile(path, text)) {
        Warn(L"Cannot read " + path + L".");
        return false;
    }
    std::wstring side = SideFile(path);
    if (GetFileAttributesW(side.c_str()) != INVALID_FILE_ATTRIBUTES && !ReadFile(side, blobs)) {
        Warn(L"Cannot read " + side + L".");
        return false;
    }
    host::ParsedForm parsed = host::ParseFormDescription(
        text, std::span(reinterpret_cast<const uint8_t*>(blobs.data()), blobs.size()));
    if (!parsed.ok) {
        Warn(L"Cannot open " + path + L": " + host::Utf8ToWide(parsed.error) + L".");
        return false;
    }
    host::FormOptions options;
    options.userMode = false;
    options.parent = window_;
    options.quitWhenLastUnloads = false;
    auto form = std::make_unique<host::Form>(std::move(parsed.form), options);
    if (!form->Load()) {
        Warn(L"Cannot show " + path + L": it names a kind of control this program does not know, or one that "
                                      L"cannot be made.");
        return false;
    }
    if (!ConfirmDiscard()) return false;
    Select(nullptr);
    form_ = std::move(form);
    form_->onDesignMouse = [this](UINT message, POINT client) { return DesignMouse(message, client); };
    form_->onPaintOver = [this](HDC dc) { PaintSelection(dc); };
    SetWindowPos(form_->Window(), HWND_BOTTOM, kMargin, kMargin, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(form_->Window(), SW_SHOWNA);
    path_ = path;
    modified_ = false;
    Layout();
    UpdateTitle();
    return true;
}

bool DesignerWindow::Save() {
    if (!form_) return false;
    host::Bytes blobs;
    std::string text = form_->WriteDescription(blobs);
    std::wstring side = SideFile(path_);
    if (!WriteWholeFile(path_, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())) ||
        !WriteWholeFile(side, blobs)) {
        Warn(L"Cannot write " + path_ + L" and " + side + L".");
        return false;
    }
    modified_ = false;
    UpdateTitle();
    return true;
}

bool DesignerWindow::ConfirmDiscard() {
    if (!form_ || !modified_) return true;
    std::wstring question = L"Save the changes to " + path_ + L"?";
    switch (MessageBoxW(window_, question.c_str(), kTitle, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return Save();
        case IDNO: return true;
        default: return false;
    }
}

void DesignerWindow::UpdateTitle() {
    std::wstring title = kTitle;
    if (form_) title = path_ + (modified_ ? L" *" : L"") + L" - " + kTitle;
    SetWindowTextW(window_, title.c_str());
}

void DesignerWindow::Layout() {
    RECT formRect{0, 0, 320, 240};
    if (form_) GetWindowRect(form_->Window(), &formRect);
    int formWidth = formRect.right - formRect.left, formHeight = formRect.bottom - formRect.top;
    int panelLeft = kMargin * 2 + formWidth;
    int height = std::max(formHeight, 300);
    MoveWindow(list_, panelLeft, kMargin, kPanelWidth, height - 140, TRUE);
    MoveWindow(help_, panelLeft, kMargin + height - 134, kPanelWidth, 48, TRUE);
    MoveWindow(edit_, panelLeft, kMargin + height - 82, kPanelWidth - 60, 22, TRUE);
    MoveWindow(setButton_, panelLeft + kPanelWidth - 54, kMargin + height - 82, 54, 22, TRUE);
    MoveWindow(imageButton_, panelLeft, kMargin + height - 50, 120, 26, TRUE);
    RECT wanted{0, 0, panelLeft + kPanelWidth + kMargin, height + kMargin * 2};
    AdjustWindowRectEx(&wanted, WS_OVERLAPPEDWINDOW, TRUE, 0);
    SetWindowPos(window_, nullptr, 0, 0, wanted.right - wanted.left, wanted.bottom - wanted.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool DesignerWindow::DesignMouse(UINT message, POINT client) {
    if (message != WM_LBUTTONDOWN) return true;  // designed controls see no mouse
    host::Control* hit = nullptr;
    for (const auto& control : form_->Controls()) {  // the last made is on top
        RECT r = form_->ControlBounds(*control);
        if (PtInRect(&r, client)) hit = control.get();
    }
    // A frame's controls lie on it: the innermost hit wins, as the later one.
    Select(hit);
    return true;
}

void DesignerWindow::Select(host::Control* control) {
    selected_ = control;
    if (form_) InvalidateRect(form_->Window(), nullptr, FALSE);
    FillPropertyList();
}

void DesignerWindow::PaintSelection(HDC dc) const {
    if (!selected_ || !form_) return;
    RECT r = form_->ControlBounds(*selected_);
    InflateRect(&r, 3, 3);
    HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
    for (int i = 0; i < 2; ++i) {
        FrameRect(dc, &r, brush);
        InflateRect(&r, -1, -1);
    }
}

aicAlphaImage* DesignerWindow::SelectedImage() const {
    auto* image = dynamic_cast<host::AlphaImage*>(selected_);
    return image ? image->Image() : nullptr;
}

void DesignerWindow::FillPropertyList() {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    SetWindowTextW(help_, L"");
    EnableWindow(imageButton_, SelectedImage() != nullptr);
    EnableWindow(setButton_, SelectedImage() != nullptr);
    if (!selected_) return;
    auto add = [&](const std::string& name, const std::string& value) {
        std::wstring line = host::Utf8ToWide(name + "\t" + value);
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    };
    add("(Name)", selected_->Name());
    if (aicAlphaImage* image = SelectedImage()) {
        for (const std::string& name : EditablePropertyNames()) add(name, PropertyText(*image, name));
        return;
    }
    for (const auto& [key, value] : selected_->Properties().Entries()) {
        std::string text;
        if (auto* i = std::get_if<int64_t>(&value)) text = std::to_string(*i);
        else if (auto* b = std::get_if<bool>(&value)) text = *b ? "True" : "False";
        else if (auto* s = std::get_if<std::string>(&value)) text = *s;
        else if (auto* d = std::get_if<double>(&value)) text = std::to_string(*d);
        else text = "(bytes)";
        add(key, text);
    }
}

void DesignerWindow::PropertyChosen() {
    int index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    if (index < 0) return;
    std::wstring line(static_cast<size_t>(SendMessageW(list_, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
    line.resize(static_cast<size_t>(SendMessageW(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()))));
    size_t tab = line.find(L'\t');
    SetWindowTextW(edit_, tab == std::wstring::npos ? L"" : line.substr(tab + 1).c_str());
    // Line 0 is the name; an image control's lines follow the editable list.
    std::string help;
    if (SelectedImage() && index >= 1) help = PropertyHelp(EditablePropertyNames()[static_cast<size_t>(index - 1)]);
    SetWindowTextW(help_, host::Utf8ToWide(help).c_str());
}

void DesignerWindow::SetEditedProperty() {
    aicAlphaImage* image = SelectedImage();
    int index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    if (!image || index < 1) return;  // line 0 is the name
    const std::string& name = EditablePropertyNames()[static_cast<size_t>(index - 1)];
    const std::wstring text = win32::WindowText(edit_);
    if (!SetPropertyFromText(*image, name, host::WideToUtf8(text))) {
        Warn(L"\"" + text + L"\" is not a value for " + host::Utf8ToWide(name) + L".");
        return;
    }
    modified_ = true;
    UpdateTitle();
    FillPropertyList();
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PropertyChosen();
    InvalidateRect(form_->Window(), nullptr, FALSE);
}

void DesignerWindow::OpenImageSource() {
    aicAlphaImage* image = SelectedImage();
    if (!image) return;
    if (ShowImageSourceSheet(window_, *image, selected_->Name())) {
        modified_ = true;
        UpdateTitle();
        FillPropertyList();
    }
    InvalidateRect(form_->Window(), nullptr, FALSE);
}

void DesignerWindow::ChooseFileToOpen() {
    std::wstring path(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = L"Form descriptions\0*.form\0All Files\0*.*\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = L"Open Form";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES;
    if (!comdlg32::GetOpenFileNameW(&dialog)) return;
    path.resize(path.find(L'\0'));
    Open(path);
}

void DesignerWindow::Command(int id, int notification) {
    switch (id) {
        case kCommandOpen: ChooseFileToOpen(); break;
        case kCommandSave: Save(); break;
        case kCommandExit: PostMessageW(window_, WM_CLOSE, 0, 0); break;
        case kCommandImageSource: OpenImageSource(); break;
        case kCommandSetProperty: SetEditedProperty(); break;
        case kPropertyList:
            if (notification == LBN_SELCHANGE) PropertyChosen();
            break;
        default: break;
    }
}

LRESULT CALLBACK DesignerWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<DesignerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<DesignerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DesignerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            if (ConfirmDiscard()) {
                form_.reset();
                DestroyWindow(window_);
            }
            return 0;
        case WM_DESTROY:
            window_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

}  // namespace designer
