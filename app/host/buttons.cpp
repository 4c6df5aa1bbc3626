#include "app/host/buttons.h"

#include "app/button_look.h"
#include "app/host/common_controls.h"
#include "app/host/form.h"
#include "app/host/picture_drawing.h"
#include "app/host/text.h"
#include "codecs/modParsers.h"

namespace host {
namespace {

win32::ComPtr<IPicture> PictureProperty(const PropertyBag& p, const char* key) {
    Bytes bytes = p.ReadBytes(key);
    if (bytes.empty()) return {};
    return modParsers::ArrayToPicture(bytes);
}

// Keeps what a group box's children tell their parent flowing to the form.
LRESULT CALLBACK ForwardToForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR form) {
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            return SendMessageW(reinterpret_cast<HWND>(form), message, wParam, lParam);
        case WM_ERASEBKGND: {
            // What themed children inside see behind them: the form's colour.
            RECT client;
            GetClientRect(window, &client);
            auto brush = reinterpret_cast<HBRUSH>(
                SendMessageW(reinterpret_cast<HWND>(form), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(window)));
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        default:
            return comctl32::DefSubclassProc(window, message, wParam, lParam);
    }
}

}  // namespace

std::wstring ButtonControl::Caption() const { return Utf8ToWide(Properties().ReadText("Caption", "")); }

bool ButtonControl::CreateButton(HWND parent, HFONT font, DWORD style) {
    const PropertyBag& p = Properties();
    picture_ = PictureProperty(p, "Picture");
    downPicture_ = PictureProperty(p, "DownPicture");
    disabledPicture_ = PictureProperty(p, "DisabledPicture");
    ownFont_ = form_.MakeFont(p);
    font_ = ownFont_ ? ownFont_.get() : font;
    if (Graphical()) style = BS_OWNERDRAW;
    return CreateChild(parent, L"BUTTON", Caption(), style | WS_TABSTOP, 0, font_) != nullptr;
}

HFONT ButtonControl::FontAtDpi(HFONT formFont) {
    return font_ = RemakeOwnFont(ownFont_, formFont);
}

IPicture* ButtonControl::PictureFor(app::ButtonPicture choice) const {
    switch (choice) {
        case app::ButtonPicture::DownPicture: return ChoosePicture(DownPicture(), Picture());
        case app::ButtonPicture::DisabledPicture: return ChoosePicture(DisabledPicture(), Picture());
        case app::ButtonPicture::Picture: break;
    }
    return Picture();
}

void ButtonControl::DrawClassic(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT bounds = item.rcItem;
    bool enabled = !(item.itemState & ODS_DISABLED);
    bool pushed = (item.itemState & ODS_SELECTED) != 0;
    bool focused = (item.itemState & ODS_FOCUS) != 0;
    std::optional<int> activeDefault;
    if (Control* active = form_.ActiveControl(); active && active != this) activeDefault = active->Default();
    bool isDefault = app::ShowsDefault(Default().value_or(0) != 0, focused, activeDefault);
    app::ButtonLook look = app::ChooseButtonLook(
        {.enabled = enabled, .pushed = pushed, .focused = focused, .isDefault = isDefault, .value = Value() != 0});

    FillColor(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
              ResolveOleColor(BackColor()));
    RECT edge = bounds;
    if (look.state == app::ButtonState::Defaulted || look.state == app::ButtonState::Pressed) {
        FrameRect(dc, &edge, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&edge, -1, -1);
    }
    bool sunken = look.state == app::ButtonState::Pressed;
    DrawEdge(dc, &edge, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    RECT content = edge;
    InflateRect(&content, -1, -1);
    if (sunken) OffsetRect(&content, 1, 1);

    RECT area = content;
    IPicture* chosen = PictureFor(look.picture);
    std::wstring caption = Caption();
    if (!caption.empty()) {
        win32::SelectObjectScope selectFont(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
        RECT measured = content;
        DrawTextW(dc, caption.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK);
        app::Band band = app::CaptionBand(content.bottom, measured.bottom, HoldsImage(chosen));
        RECT text{content.left, band.top, content.right, band.bottom};
        int oldMode = SetBkMode(dc, TRANSPARENT);
        if (enabled) {
            COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK);
            SetTextColor(dc, oldColor);
        } else {
            // Etched: a highlight one pixel down and right, then the grey text.
            RECT shadow = text;
            OffsetRect(&shadow, 1, 1);
            COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
            DrawTextW(dc, caption.c_str(), -1, &shadow, DT_CENTER | DT_WORDBREAK);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK);
            SetTextColor(dc, oldColor);
        }
        SetBkMode(dc, oldMode);
        area.bottom = text.top;
    }

    if (HoldsImage(chosen)) {
        SIZE size = PicturePixelSize(chosen);
        POINT at = CentredPicturePosition(chosen, area);
        COLORREF mask = ResolveOleColor(MaskColor());
        if (!enabled && chosen != DisabledPicture())
            DrawDisabledPicture(chosen, dc, at.x, at.y, size.cx, size.cy, mask);
        else if (UseMaskColor())
            DrawTransparentPicture(chosen, dc, at.x, at.y, size.cx, size.cy, mask, 0, 0, 0, 0);
        else
            RenderPicture(chosen, dc, at.x, at.y, size.cx, size.cy);
    }
    if (focused) {
        RECT focus = edge;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
}

bool PushButton::Create(HWND parent, HFONT font) {
    DWORD style = Properties().ReadBool("Default", false) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    return CreateButton(parent, font, style);
}

OptionButton::OptionButton(Form& form, FormObject description, int id)
    : ButtonControl(form, std::move(description), id), value_(Properties().ReadBool("Value", false)) {}

bool OptionButton::Create(HWND parent, HFONT font) {
    if (!CreateButton(parent, font, BS_RADIOBUTTON)) return false;
    if (!Graphical()) SendMessageW(window_, BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
}

void OptionButton::SetValue(bool value) {
    if (value) {
        for (const auto& other : form_.Controls()) {
            auto* option = dynamic_cast<OptionButton*>(other.get());
            if (option && option != this && option->Container() == Container()) option->SetValue(false);
        }
    }
    if (value == value_) return;
    value_ = value;
    if (!window_) return;
    if (Graphical())
        InvalidateRect(window_, nullptr, FALSE);
    else
        SendMessageW(window_, BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

CheckBox::CheckBox(Form& form, FormObject description, int id)
    : ButtonControl(form, std::move(description), id) {
    const PropertyBag& p = Properties();
    value_ = static_cast<int>(p.ReadInt("Value", p.ReadBool("Value", false) ? 1 : 0));
    if (value_ < 0 || value_ > 2) value_ = 0;
}

bool CheckBox::Create(HWND parent, HFONT font) {
    if (!CreateButton(parent, font, BS_3STATE)) return false;
    if (!Graphical()) SendMessageW(window_, BM_SETCHECK, static_cast<WPARAM>(value_), 0);
    return true;
}

void CheckBox::SetValue(int value) {
    if (value < 0 || value > 2 || value == value_) return;
    value_ = value;
    if (!window_) return;
    if (Graphical())
        InvalidateRect(window_, nullptr, FALSE);
    else
        SendMessageW(window_, BM_SETCHECK, static_cast<WPARAM>(value_), 0);
}

bool Frame::Create(HWND parent, HFONT font) {
    HWND window = CreateChild(parent, L"BUTTON", Utf8ToWide(Properties().ReadText("Caption", "")),
                              BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, font);
    return window && comctl32::SetWindowSubclass(window, ForwardToForm, 1, reinterpret_cast<DWORD_PTR>(form_.Window()));
}

}  // namespace host
