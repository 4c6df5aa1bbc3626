#include "app/host/controls.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/host/common_controls.h"
#include "app/host/form.h"
#include "app/host/icon_handles.h"
#include "app/host/text.h"
#include "codecs/modParsers.h"
#include "common/accessible_overrides.h"
#include "common/win32_handles.h"

namespace host {
namespace {

constexpr int kCustomMousePointer = 99;

}  // namespace

COLORREF ResolveOleColor(uint32_t oleColor) {
    if (oleColor & 0x80000000u) return GetSysColor(static_cast<int>(oleColor & 0xFF));
    return static_cast<COLORREF>(oleColor & 0x00FFFFFFu);
}

Control::Control(Form& form, FormObject description, int id)
    : form_(form), description_(std::move(description)), id_(id) {}

bool Control::Enabled() const { return window_ ? IsWindowEnabled(window_) != FALSE : Properties().ReadBool("Enabled", true); }

void Control::SetEnabled(bool enabled) {
    if (window_) EnableWindow(window_, enabled ? TRUE : FALSE);
}

void Control::SetVisible(bool visible) {
    if (window_) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::Destroy() {
    // Child windows go with their form; only the handle is forgotten.
    window_ = nullptr;
}

HWND Control::CreateChild(HWND parent, const wchar_t* windowClass, const std::wstring& text, DWORD style,
                          DWORD exStyle, HFONT font) {
    const PropertyBag& p = Properties();
    int left = form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Left", 0)));
    int top = form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Top", 0)));
    int width = form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Width", 0)));
    int height = form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Height", 0)));
    if (p.ReadBool("Visible", true)) style |= WS_VISIBLE;
    if (!p.ReadBool("Enabled", true)) style |= WS_DISABLED;
    window_ = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | style, left, top, width, height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), nullptr);
    if (window_ && font) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    LoadMouseIcon();
    return window_;
}

void Control::FollowDpi(HFONT formFont) {
    if (!window_) return;
    const PropertyBag& p = Properties();
    MoveWindow(window_, form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Left", 0))),
               form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Top", 0))),
               form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Width", 0))),
               form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Height", 0))), FALSE);
    if (HFONT font = FontAtDpi(formFont)) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

HFONT Control::RemakeOwnFont(win32::Font& own, HFONT formFont) const {
    own = form_.MakeFont(Properties());
    return own ? own.get() : formFont;
}

HFONT TextBox::FontAtDpi(HFONT formFont) { return RemakeOwnFont(font_, formFont); }

HFONT ComboBox::FontAtDpi(HFONT formFont) { return RemakeOwnFont(font_, formFont); }

void ComboBox::FollowDpi(HFONT formFont) {
    Control::FollowDpi(formFont);
    // The height given is the closed box's; the list drops below it.
    if (window_)
        SetWindowPos(window_, nullptr, 0, 0, form_.TwipsToPixelsX(static_cast<int>(Properties().ReadInt("Width", 0))),
                     form_.TwipsToPixelsY(2400), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::LoadMouseIcon() {
    if (Properties().ReadInt("MousePointer", 0) != kCustomMousePointer) return;
    cursor_ = CursorFromFileBytes(Properties().ReadBytes("MouseIcon"), GetSystemMetrics(SM_CXCURSOR));
}

bool ListBox::Create(HWND parent, HFONT font) {
    return CreateChild(parent, L"LISTBOX", L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                       WS_EX_CLIENTEDGE, font) != nullptr;
}

// EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 on (older systems ignore it).
constexpr DWORD kLiveRegionChanged = 0x8019;

void ListBox::AddItem(const std::wstring& text, const std::wstring& whole) {
    if (!window_) return;
    const LRESULT index = SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) {
        wholeLines_.resize(static_cast<size_t>(index) + 1);
        wholeLines_[static_cast<size_t>(index)] = whole == text ? std::wstring() : whole;
    }
    if (announces_) NotifyWinEvent(kLiveRegionChanged, window_, OBJID_CLIENT, CHILDID_SELF);
}

void ListBox::Subclass() {
    if (!subclassed_) comctl32::SetWindowSubclass(window_, ListSubclass, 0, reinterpret_cast<DWORD_PTR>(this));
    subclassed_ = true;
}

void ListBox::Describe(std::wstring name, std::wstring description) {
    if (!window_) return;
    accessibleName_ = std::move(name);
    accessibleDescription_ = std::move(description);
    Subclass();
    announces_ = true;
    win32::MarkPoliteLiveRegion(window_);
}

void ListBox::ShowCutLinesInTips(std::wstring hint) {
    if (!window_ || tip_) return;
    tipHint_ = std::move(hint);
    const INITCOMMONCONTROLSEX tips{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};  // registers the tooltip class
    comctl32::InitCommonControlsEx(&tips);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, L"tooltips_class32", nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;  // TTN_GETDISPINFO comes here
    tool.uId = reinterpret_cast<UINT_PTR>(window_);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long lines wrap at about the list's width, on the screen's scale.
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(320, form_.DpiX(), 96));
    SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
    Subclass();
}

std::wstring ListBox::TipText(int index) const {
    if (index < 0 || index >= ListCount()) return {};
    const std::wstring shown = List(index);
    const std::wstring& whole = static_cast<size_t>(index) < wholeLines_.size() ? wholeLines_[static_cast<size_t>(index)]
                                                                               : std::wstring();
    if (whole.empty() && TextFits(shown)) return {};
    return (whole.empty() ? shown : whole) + L"\n" + tipHint_;
}

int ListBox::ItemUnderCursor() const {
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(window_, &at);
    const LRESULT found = SendMessageW(window_, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
    return HIWORD(found) ? -1 : static_cast<int>(LOWORD(found));  // high word: outside the lines
}

LRESULT CALLBACK ListBox::ListSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    auto* list = reinterpret_cast<ListBox*>(self);
    switch (message) {
        case WM_GETOBJECT: {
            win32::AccessibleOverrides overrides;
            overrides.name = list->accessibleName_;
            overrides.description = list->accessibleDescription_;
            if (const LRESULT answer = win32::AnswerGetObject(window, wParam, lParam, std::move(overrides)))
                return answer;
            break;
        }
        case WM_MOUSEMOVE:
            // Another line under the pointer: the tip goes, and comes back with that line's text.
            if (list->tip_ && list->ItemUnderCursor() != list->tipItem_) {
                list->tipItem_ = list->ItemUnderCursor();
                SendMessageW(list->tip_, TTM_POP, 0, 0);
            }
            break;
        case WM_NOTIFY: {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (!list->tip_ || info->hdr.hwndFrom != list->tip_ || info->hdr.code != TTN_GETDISPINFOW) break;
            list->tipItem_ = list->ItemUnderCursor();
            list->tipShown_ = list->TipText(list->tipItem_);
            info->lpszText = list->tipShown_.data();  // empty: no tip
            return 0;
        }
        default: break;
    }
    return comctl32::DefSubclassProc(window, message, wParam, lParam);
}

void ListBox::Clear() {
    if (!window_) return;
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    wholeLines_.clear();
}

int ListBox::ListCount() const {
    return window_ ? static_cast<int>(SendMessageW(window_, LB_GETCOUNT, 0, 0)) : 0;
}

std::wstring ListBox::List(int index) const {
    if (!window_) return {};
    LRESULT length = SendMessageW(window_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = SendMessageW(window_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
    return text;
}

int ListBox::ListIndex() const {
    return window_ ? static_cast<int>(SendMessageW(window_, LB_GETCURSEL, 0, 0)) : -1;
}

bool ListBox::TextFits(const std::wstring& text) const {
    if (!window_) return true;
    RECT client;
    GetClientRect(window_, &client);
    win32::WindowDc dc(window_);
    if (!dc) return true;
    auto font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc.get(), font) : nullptr;
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    if (old) SelectObject(dc.get(), old);
    // A scroll bar not shown yet comes with more lines: leave room for it.
    int width = client.right;
    if (!(GetWindowLongW(window_, GWL_STYLE) & WS_VSCROLL)) width -= GetSystemMetrics(SM_CXVSCROLL);
    // The list draws each line two pixels in from its left edge.
    return size.cx + 2 <= width;
}

bool TextBox::Create(HWND parent, HFONT font) {
    const PropertyBag& p = Properties();
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (p.ReadBool("MultiLine", false)) style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    if (p.ReadBool("Locked", false)) style |= ES_READONLY;
    int64_t bars = p.ReadInt("ScrollBars", 0);
    if (bars & 1) style |= WS_HSCROLL;
    if (bars & 2) style |= WS_VSCROLL;
    font_ = form_.MakeFont(p);
    if (!CreateChild(parent, L"EDIT", Utf8ToWide(p.ReadText("Text", "")), style, WS_EX_CLIENTEDGE,
                     font_ ? font_.get() : font))
        return false;
    SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);  // the largest the system allows
    comctl32::SetWindowSubclass(window_, Subclass, 0, reinterpret_cast<DWORD_PTR>(this));
    return true;
}

void TextBox::SetText(const std::wstring& text) {
    if (window_) SetWindowTextW(window_, text.c_str());
}

std::wstring TextBox::Text() const {
    return window_ ? win32::WindowText(window_) : std::wstring();
}

LRESULT CALLBACK TextBox::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR self) {
    auto* box = reinterpret_cast<TextBox*>(self);
    if (message == WM_COPY && box->onCopyNothingSelected) {
        DWORD start = 0, end = 0;
        SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start == end && box->onCopyNothingSelected()) return 0;
    }
    if (message == WM_GETDLGCODE) {
        // Tab and Esc keep their dialog meaning in a multi-line box too.
        LRESULT code = comctl32::DefSubclassProc(window, message, wParam, lParam);
        auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_TAB || msg->wParam == VK_ESCAPE))
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        return code & ~DLGC_WANTTAB;
    }
    return comctl32::DefSubclassProc(window, message, wParam, lParam);
}

bool Label::Create(HWND parent, HFONT font) {
    return CreateChild(parent, L"STATIC", Utf8ToWide(Properties().ReadText("Caption", "")),
                       SS_LEFTNOWORDWRAP | SS_NOTIFY | SS_NOPREFIX, 0, font) != nullptr;
}

void Label::ActAsLink() {
    if (!window_) return;
    SetWindowLongW(window_, GWL_STYLE, GetWindowLongW(window_, GWL_STYLE) | WS_TABSTOP);
    comctl32::SetWindowSubclass(window_, LinkSubclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Label::LinkSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self) {
    auto* label = reinterpret_cast<Label*>(self);
    const auto press = [label] {
        if (label->onClick) label->onClick();
    };
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter opens it rather than pressing the window's default button.
            const auto* pending = reinterpret_cast<const MSG*>(lParam);
            if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
                return DLGC_BUTTON | DLGC_WANTMESSAGE;
            return DLGC_BUTTON;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) label->spaceHeld_ = true;
            if (wParam == VK_RETURN) press();
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && std::exchange(label->spaceHeld_, false)) press();
            return 0;
        case BM_CLICK: press(); return 0;  // an accessibility client's default action
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            label->spaceHeld_ = false;
            InvalidateRect(window, nullptr, TRUE);
            break;
        case WM_PAINT: {
            const LRESULT painted = comctl32::DefSubclassProc(window, message, wParam, lParam);
            if (GetFocus() == window && !(SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
                // Around the text, as a link shows it.
                win32::WindowDc dc(window);
                win32::SelectObjectScope font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
                const std::wstring text = win32::WindowText(window);
                RECT around{};
                DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &around,
                          DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
                RECT client{};
                GetClientRect(window, &client);
                around.right = std::min(around.right + 1, client.right);
                around.bottom = std::min(around.bottom + 1, client.bottom);
                DrawFocusRect(dc.get(), &around);
            }
            return painted;
        }
        case WM_GETOBJECT: {
            win32::AccessibleOverrides overrides;
            overrides.role = ROLE_SYSTEM_LINK;
            overrides.defaultAction = L"Open";
            overrides.pressMessage = BM_CLICK;
            if (const LRESULT answer = win32::AnswerGetObject(window, wParam, lParam, std::move(overrides)))
                return answer;
            break;
        }
        default: break;
    }
    return comctl32::DefSubclassProc(window, message, wParam, lParam);
}

void Label::SetCaption(const std::wstring& caption) {
    if (window_) SetWindowTextW(window_, caption.c_str());
}

bool ComboBox::Create(HWND parent, HFONT font) {
    font_ = form_.MakeFont(Properties());
    if (!CreateChild(parent, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                     font_ ? font_.get() : font))
        return false;
    // The height given is the closed box's; the list drops below it.
    RECT r;
    GetWindowRect(window_, &r);
    SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, form_.TwipsToPixelsY(2400),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void ComboBox::AddItem(const std::wstring& text, int index) {
    if (window_) SendMessageW(window_, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::Clear() {
    if (window_) SendMessageW(window_, CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const { return window_ ? static_cast<int>(SendMessageW(window_, CB_GETCOUNT, 0, 0)) : 0; }

std::wstring ComboBox::List(int index) const {
    LRESULT length = window_ ? SendMessageW(window_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) : CB_ERR;
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = SendMessageW(window_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length == CB_ERR ? 0 : static_cast<size_t>(length));
    return text;
}

intptr_t ComboBox::ItemData(int index) const {
    return window_ ? static_cast<intptr_t>(SendMessageW(window_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0)) : 0;
}

void ComboBox::SetItemData(int index, intptr_t data) {
    if (window_) SendMessageW(window_, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

int ComboBox::ListIndex() const { return window_ ? static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0)) : -1; }

void ComboBox::SetListIndex(int index) {
    if (!window_) return;
    SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (onClick) {
        auto handler = onClick;
        handler();
    }
}

RECT Shape::Bounds() const {
    const PropertyBag& p = Properties();
    int left = form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Left", 0)));
    int top = form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Top", 0)));
    return {left, top, left + form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Width", 0))),
            top + form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Height", 0)))};
}

void Shape::Draw(HDC dc) const {
    if (!Properties().ReadBool("Visible", true)) return;
    RECT r = Bounds();
    win32::Brush border(CreateSolidBrush(ResolveOleColor(static_cast<uint32_t>(Properties().ReadInt("BorderColor", 0)))));
    if (border) FrameRect(dc, &r, border.get());
}

COLORREF Label::ForeColor() const {
    return ResolveOleColor(static_cast<uint32_t>(Properties().ReadInt("ForeColor", 0x80000012)));
}

bool Picture::Create(HWND parent, HFONT font) {
    picture_ = modParsers::ArrayToPicture(Properties().ReadBytes("Picture"));
    return CreateChild(parent, L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, 0, font) != nullptr;
}

void Picture::Draw(const DRAWITEMSTRUCT& item) const {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!picture_) return;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    // Natural size: HIMETRIC (hundredths of a millimetre) at the screen's resolution.
    int pixelWidth = MulDiv(width, GetDeviceCaps(item.hDC, LOGPIXELSX), 2540);
    int pixelHeight = MulDiv(height, GetDeviceCaps(item.hDC, LOGPIXELSY), 2540);
    picture_->Render(item.hDC, item.rcItem.left, item.rcItem.top, pixelWidth, pixelHeight, 0, height, width, -height,
                     nullptr);
}

Timer::Timer(Form& form, FormObject description, int id)
    : Control(form, std::move(description), id),
      enabled_(Properties().ReadBool("Enabled", true)),
      interval_(static_cast<unsigned>(Properties().ReadInt("Interval", 0))) {}

bool Timer::Create(HWND parent, HFONT) {
    parent_ = parent;
    Apply();
    return true;
}

void Timer::Destroy() {
    if (parent_) KillTimer(parent_, static_cast<UINT_PTR>(id_));
    parent_ = nullptr;
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Apply();
}

void Timer::SetInterval(unsigned milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Apply();
}

void Timer::Apply() {
    if (!parent_) return;
    // Setting an existing timer again restarts its interval.
    if (enabled_ && interval_ > 0)
        SetTimer(parent_, static_cast<UINT_PTR>(id_), interval_, nullptr);
    else
        KillTimer(parent_, static_cast<UINT_PTR>(id_));
}

}  // namespace host
