#include "app/host/form.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <span>

#include "app/host/alpha_image.h"
#include "app/host/common_controls.h"
#include "app/host/icon_handles.h"
#include "app/host/text.h"

namespace host {
namespace {

constexpr wchar_t kFormClass[] = L"MendlowForm";
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL
constexpr int kTwipsPerInch = 1440;
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1 on
constexpr WORD kProgramIconId = 1;

std::vector<Form*>& LoadedForms() {
    static std::vector<Form*> forms;
    return forms;
}

std::span<const uint8_t> ResourceBytes(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(module, found)};
}

bool RegisterFormClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcW;  // replaced per form on WM_NCCREATE
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFormClass;
    registered = RegisterClassExW(&windowClass) != 0;
    return registered;
}

DWORD WindowStyleFor(const std::string& borderStyle) {
    if (borderStyle == "FixedDialog") return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (borderStyle == "FixedSingle") return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

// Points to pixels at the form's resolution; negative asks for the character
// height rather than the cell height. Keys missing from own come from inherited.
win32::Font FontFrom(const PropertyBag& own, const PropertyBag& inherited, int dpiY) {
    auto real = [&](const char* key, double fallback) { return own.ReadReal(key, inherited.ReadReal(key, fallback)); };
    auto integer = [&](const char* key, int64_t fallback) { return own.ReadInt(key, inherited.ReadInt(key, fallback)); };
    auto flag = [&](const char* key) { return own.ReadBool(key, inherited.ReadBool(key, false)); };
    int weight = static_cast<int>(integer("FontWeight", flag("FontBold") ? FW_BOLD : FW_NORMAL));
    int height = -static_cast<int>(std::lround(real("FontSize", 8.25) * dpiY / 72.0));
    std::string name = own.ReadText("FontName", inherited.ReadText("FontName", "MS Sans Serif"));
    return win32::Font(CreateFontW(height, 0, 0, 0, weight, flag("FontItalic"), flag("FontUnderline"), FALSE,
                                   static_cast<BYTE>(integer("FontCharset", DEFAULT_CHARSET)), OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                   Utf8ToWide(name).c_str()));
}

LRESULT CALLBACK PassMouseThrough(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    return comctl32::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

ParsedForm LoadFormResource(const wchar_t* name) {
    std::span<const uint8_t> text = ResourceBytes(name);
    if (text.empty()) {
        ParsedForm missing;
        missing.error = "no form description resource";
        return missing;
    }
    std::wstring blobsName = std::wstring(name) + L"_BLOBS";
    return ParseFormDescription(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
                                ResourceBytes(blobsName.c_str()));
}

Form::Form(FormObject description, FormOptions options)
    : description_(std::move(description)), options_(std::move(options)), nextId_(kFirstControlId) {}

Form::~Form() {
    DestroyControls();
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(window_);
        std::erase(LoadedForms(), this);
    }
}

Form* Form::FromWindow(HWND window) {
    for (Form* form : LoadedForms())
        if (form->window_ == window) return form;
    return nullptr;
}

size_t Form::LoadedCount() { return LoadedForms().size(); }

int Form::TwipsToPixelsX(int twips) const { return MulDiv(twips, dpiX_, kTwipsPerInch); }
int Form::TwipsToPixelsY(int twips) const { return MulDiv(twips, dpiY_, kTwipsPerInch); }

std::optional<int32_t> Form::ScaleMode() const {
    const PropertyValue* value = Properties().Find("ScaleMode");
    const auto* mode = value ? std::get_if<int64_t>(value) : nullptr;
    if (!mode) return std::nullopt;
    return static_cast<int32_t>(*mode);
}

COLORREF Form::BackColor() const {
    return ResolveOleColor(static_cast<uint32_t>(Properties().ReadInt("BackColor", 0x80000000u | COLOR_BTNFACE)));
}

HBRUSH Form::BackBrush() const { return backBrush_ ? backBrush_.get() : GetSysColorBrush(COLOR_BTNFACE); }

Control* Form::Find(const std::string& name) const {
    for (const auto& control : controls_)
        if (control->Name() == name) return control.get();
    return nullptr;
}

Control* Form::FindById(int id) const {
    for (const auto& control : controls_)
        if (control->Id() == id) return control.get();
    return nullptr;
}

Control* Form::FindByWindow(HWND window) const {
    if (!window) return nullptr;
    for (const auto& control : controls_)
        if (control->Window() == window) return control.get();
    return nullptr;
}

bool Form::Load() {
    if (window_) return true;
    // Loaded again after an unload: the controls start from the description.
    controls_.clear();
    nextId_ = kFirstControlId;
    lastFocus_ = nullptr;
    if (!RegisterFormClass()) return false;
    if (options_.dpi > 0) {
        dpiX_ = dpiY_ = options_.dpi;
    } else {
        win32::WindowDc screen(nullptr);
        if (screen) {
            dpiX_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
            dpiY_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
        }
    }
    const PropertyBag& p = Properties();
    if (p.Has("BackColor")) backBrush_.reset(CreateSolidBrush(BackColor()));

    bool child = options_.parent != nullptr;
    DWORD style = child ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS : WindowStyleFor(p.ReadText("BorderStyle", "Sizable"));
    DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT frame{0, 0, TwipsToPixelsX(static_cast<int>(p.ReadInt("ClientWidth", 4800))),
               TwipsToPixelsY(static_cast<int>(p.ReadInt("ClientHeight", 3600)))};
    if (!child) AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int x = child ? 0 : CW_USEDEFAULT, y = child ? 0 : CW_USEDEFAULT;
    const std::string startUp = p.ReadText("StartUpPosition", "");
    if (!child && startUp == "CenterScreen") {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    RECT owner;
    if (!child && startUp == "CenterOwner" && options_.owner && GetWindowRect(options_.owner, &owner)) {
        x = std::max<int>(0, (owner.left + owner.right - width) / 2);
        y = std::max<int>(0, (owner.top + owner.bottom - height) / 2);
    }

    font_ = FontFrom(p, p, dpiY_);

    window_ = CreateWindowExW(exStyle, kFormClass, Utf8ToWide(p.ReadText("Caption", description_.name)).c_str(),
                              style, x, y, width, height, child ? options_.parent : options_.owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form::WindowProc));
    if (font_) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    smallIcon_ = IconFromFileBytes(p.ReadBytes("Icon"), GetSystemMetrics(SM_CXSMICON));
    if (smallIcon_) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    // The large icon (task switcher) is the program's own, which the system shares.
    HANDLE programIcon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED);
    if (programIcon) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon));

    if (!CreateControls(description_.children, nullptr)) {
        DestroyControls();
        controls_.clear();
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    ApplyTabOrder();
    if (!options_.userMode) {
        // Designed controls do not act: the mouse goes through them to the form.
        for (const auto& control : controls_)
            if (control->Window()) comctl32::SetWindowSubclass(control->Window(), PassMouseThrough, 0, 0);
    }
    LoadedForms().push_back(this);
    Form_Load();
    return true;
}

std::unique_ptr<Control> Form::MakeControl(FormObject description, int id, bool restored) {
    const std::string kind = description.kind;
    if (kind == "PushButton") return std::make_unique<PushButton>(*this, std::move(description), id);
    if (kind == "OptionButton") return std::make_unique<OptionButton>(*this, std::move(description), id);
    if (kind == "CheckBox") return std::make_unique<CheckBox>(*this, std::move(description), id);
    if (kind == "Frame") return std::make_unique<Frame>(*this, std::move(description), id);
    if (kind == "ComboBox") return std::make_unique<ComboBox>(*this, std::move(description), id);
    if (kind == "Shape") return std::make_unique<Shape>(*this, std::move(description), id);
    if (kind == "TextBox") return std::make_unique<TextBox>(*this, std::move(description), id);
    if (kind == "ListBox") return std::make_unique<ListBox>(*this, std::move(description), id);
    if (kind == "Label") return std::make_unique<Label>(*this, std::move(description), id);
    if (kind == "Picture") return std::make_unique<Picture>(*this, std::move(description), id);
    if (kind == "Timer") return std::make_unique<Timer>(*this, std::move(description), id);
    if (kind == "aicAlphaImage") return std::make_unique<AlphaImage>(*this, std::move(description), id, restored);
    auto windowless = options_.windowlessKinds.find(kind);
    if (windowless != options_.windowlessKinds.end())
        return std::make_unique<WindowlessControl>(*this, std::move(description), id, windowless->second, restored);
    return nullptr;
}

Control* Form::CreateControl(FormObject description, bool restored, Control* container) {
    std::vector<FormObject> inside = std::move(description.children);
    std::unique_ptr<Control> control = MakeControl(std::move(description), nextId_++, restored);
    if (!control) return nullptr;
    // Windowless controls paint on the form itself; a frame holds windows only.
    if (container && dynamic_cast<WindowlessControl*>(control.get())) return nullptr;
    control->SetContainer(container);
    controls_.push_back(std::move(control));
    Control* created = controls_.back().get();
    HWND parent = container ? container->Window() : window_;
    if (!created->Create(parent, font_.get())) {
        created->Destroy();
        controls_.pop_back();
        return nullptr;
    }
    if (!inside.empty() && (!dynamic_cast<Frame*>(created) || !CreateControls(inside, created))) return nullptr;
    return created;
}

bool Form::CreateControls(const std::vector<FormObject>& children, Control* container) {
    for (const FormObject& child : children)
        if (!CreateControl(child, true, container)) return false;
    return true;
}

Control* Form::AddControl(FormObject description) {
    return window_ ? CreateControl(std::move(description), false, nullptr) : nullptr;
}

win32::Font Form::MakeFont(const PropertyBag& properties) const {
    for (const auto& [key, value] : properties.Entries())
        if (key.starts_with("Font")) return FontFrom(properties, Properties(), dpiY_);
    return {};
}

Control* Form::ActiveControl() const {
    HWND focus = GetFocus();
    if (!focus || !IsChild(window_, focus)) focus = lastFocus_;
    for (HWND w = focus; w && w != window_; w = GetParent(w))
        if (Control* control = FindByWindow(w)) return control;
    return nullptr;
}

std::string Form::WriteDescription(Bytes& blobs) {
    FormObject written = description_;
    if (!controls_.empty()) {
        for (WindowlessControl* windowless : WindowlessControls()) windowless->WriteBack();
        written.children = WriteChildren(nullptr);
    }
    return WriteFormDescription(written, blobs);
}

std::vector<FormObject> Form::WriteChildren(const Control* container) const {
    std::vector<FormObject> children;
    for (const auto& control : controls_) {
        if (control->Container() != container) continue;
        children.push_back(control->Description());
        if (dynamic_cast<const Frame*>(control.get())) children.back().children = WriteChildren(control.get());
    }
    return children;
}

// Enter with no default button (IDOK) opens the focused list's line; Esc
// (IDCANCEL) clicks the button whose Cancel is set.
void Form::DialogKey(int command) {
    if (command == IDOK) {
        if (auto* list = dynamic_cast<ListBox*>(FindByWindow(GetFocus())); list && list->onDblClick) {
            auto handler = list->onDblClick;
            handler();
        }
        return;
    }
    if (command != IDCANCEL) return;
    for (const auto& control : controls_)
        if (dynamic_cast<PushButton*>(control.get()) && control->Properties().ReadBool("Cancel", false) &&
            control->Enabled()) {
            ButtonClicked(*control);
            return;
        }
}

void Form::ButtonClicked(Control& control) {
    if (auto* button = dynamic_cast<ButtonControl*>(&control)) button->Clicked();
    if (control.onClick) {
        auto handler = control.onClick;
        handler();
    }
}

RECT Form::ControlBounds(const Control& control) const {
    if (auto* windowless = dynamic_cast<const WindowlessControl*>(&control)) return windowless->Bounds();
    if (auto* shape = dynamic_cast<const Shape*>(&control)) return shape->Bounds();
    RECT r{};
    if (!control.Window()) return r;
    GetWindowRect(control.Window(), &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<WindowlessControl*> Form::WindowlessControls() const {
    std::vector<WindowlessControl*> found;
    for (const auto& control : controls_)
        if (auto* windowless = dynamic_cast<WindowlessControl*>(control.get())) found.push_back(windowless);
    return found;
}

void Form::DestroyControls() {
    input_.Reset();
    RevokeDropTarget();
    for (auto& control : controls_) control->Destroy();
}

void Form::DropModeChanged() {
    if (!window_) return;
    std::vector<WindowlessControl*> windowless = WindowlessControls();
    bool wanted = std::ranges::any_of(windowless, [](WindowlessControl* c) { return c->OLEDropMode() == 1; });
    if (!wanted) {
        RevokeDropTarget();
    } else if (!dropTarget_) {
        // Needs OLE started on this thread (OleInitialize).
        win32::ComPtr<DropTarget> target(new DropTarget(input_));
        if (SUCCEEDED(RegisterDragDrop(window_, target.get())))
            dropTarget_ = std::move(target);
        else
            target->Detach();
    }
}

void Form::RevokeDropTarget() {
    if (!dropTarget_) return;
    RevokeDragDrop(window_);
    dropTarget_->Detach();
    dropTarget_.reset();
}

bool Form::PreviewKey(MSG& msg) { return window_ && msg.hwnd == window_ && input_.Key(msg); }

void Form::PaintClient(HDC target, const RECT& area, HRGN region) {
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win32::MemoryDc buffer(CreateCompatibleDC(target));
    win32::Bitmap bitmap(CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!buffer || !bitmap) {
        FillRect(target, &area, BackBrush());
        return;
    }
    win32::SelectObjectScope select(buffer.get(), bitmap.get());
    // Client coordinates in the buffer; the clip region in its device ones.
    SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
    FillRect(buffer.get(), &area, BackBrush());
    win32::Region clip(CreateRectRgnIndirect(&area));
    if (region) CombineRgn(clip.get(), clip.get(), region, RGN_AND);
    OffsetRgn(clip.get(), -area.left, -area.top);
    for (const auto& control : controls_)
        if (auto* shape = dynamic_cast<const Shape*>(control.get())) shape->Draw(buffer.get());
    for (WindowlessControl* windowless : WindowlessControls()) windowless->PaintInto(buffer.get(), clip.get());
    if (onPaintOver) onPaintOver(buffer.get());
    BitBlt(target, area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
}

void Form::ApplyTabOrder() {
    // Keyboard navigation follows the window order: controls with a tab index
    // first, by index, the rest after them in creation order.
    std::vector<Control*> order;
    for (const auto& control : controls_)
        if (control->Window()) order.push_back(control.get());
    std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) {
        int ia = a->TabIndex(), ib = b->TabIndex();
        if ((ia < 0) != (ib < 0)) return ia >= 0;
        return ia >= 0 && ia < ib;
    });
    HWND previous = HWND_TOP;
    for (Control* control : order) {
        SetWindowPos(control->Window(), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control->Window();
    }
}

void Form::Show() {
    if (!window_) return;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
    if (first) SetFocus(first);
}

void Form::Unload() {
    if (!window_ || unloading_) return;
    unloading_ = true;
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (!cancel) Form_Unload(cancel);
    if (cancel || !window_) {
        unloading_ = false;
        return;
    }
    DestroyControls();
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    DestroyWindow(window_);
    window_ = nullptr;
    unloading_ = false;
    std::erase(LoadedForms(), this);
    bool others = std::ranges::any_of(LoadedForms(), [](Form* f) { return f->options_.quitWhenLastUnloads; });
    if (options_.quitWhenLastUnloads && !others) PostQuitMessage(0);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

void Form::ChangeDpi(int dpiX, int dpiY, const RECT* frame) {
    if (dpiX <= 0 || dpiY <= 0) return;
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    const PropertyBag& p = Properties();
    font_ = FontFrom(p, p, dpiY_);
    if (font_) SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    for (const auto& control : controls_) control->FollowDpi(font_.get());
    if (frame) {
        SetWindowPos(window_, nullptr, frame->left, frame->top, frame->right - frame->left, frame->bottom - frame->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Form_DpiChanged();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kDpiChanged:
            ChangeDpi(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_COMMAND: {
            // BN_CLICKED and STN_CLICKED are both 0.
            Control* control = FindByWindow(reinterpret_cast<HWND>(lParam));
            if (!control && lParam == 0) {
                DialogKey(LOWORD(wParam));
                return 0;
            }
            if (auto* list = dynamic_cast<ListBox*>(control)) {
                if (HIWORD(wParam) == LBN_DBLCLK && list->onDblClick) {
                    auto handler = list->onDblClick;
                    handler();
                }
            } else if (auto* combo = dynamic_cast<ComboBox*>(control)) {
                if (HIWORD(wParam) == CBN_SELCHANGE && combo->onClick) {
                    auto handler = combo->onClick;
                    handler();
                }
            } else if (control && HIWORD(wParam) == 0) {
                ButtonClicked(*control);
            }
            return 0;
        }
        case WM_TIMER: {
            auto* timer = dynamic_cast<Timer*>(FindById(static_cast<int>(wParam)));
            if (timer && timer->Enabled() && timer->onTimer) {
                auto handler = timer->onTimer;
                handler();
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (auto* label = dynamic_cast<Label*>(FindByWindow(reinterpret_cast<HWND>(lParam))))
                SetTextColor(dc, label->ForeColor());
            SetBkColor(dc, BackColor());
            return reinterpret_cast<LRESULT>(BackBrush());
        }
        case WM_ERASEBKGND:
            return 1;  // painted with everything else in WM_PAINT
        case WM_PRINTCLIENT: {
            // A themed child asks for what lies behind it.
            HDC dc = reinterpret_cast<HDC>(wParam);
            RECT client, clip, area;
            GetClientRect(window_, &client);
            if (GetClipBox(dc, &clip) == ERROR) clip = client;
            if (IntersectRect(&area, &client, &clip)) PaintClient(dc, area, nullptr);
            return 0;
        }
        case WM_PAINT: {
            // The update region is gone once painting begins.
            win32::Region update(CreateRectRgn(0, 0, 0, 0));
            bool exact = update && GetUpdateRgn(window_, update.get(), FALSE) != ERROR;
            win32::PaintDc paint(window_);
            PaintClient(paint.get(), paint.area(), exact ? update.get() : nullptr);
            return 0;
        }
        case WM_SHOWWINDOW:
            for (WindowlessControl* windowless : WindowlessControls()) windowless->FormShown(wParam != FALSE);
            break;
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Control* control = FindById(static_cast<int>(wParam));
            if (auto* picture = dynamic_cast<Picture*>(control)) {
                picture->Draw(*item);
                return TRUE;
            }
            if (auto* button = dynamic_cast<ButtonControl*>(control)) {
                button->DrawClassic(*item);
                return TRUE;
            }
            break;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            if (onDesignMouse && onDesignMouse(message, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) return 0;
            if (input_.Mouse(message, wParam, lParam)) return 0;
            break;
        case WM_MOUSELEAVE:
            input_.MouseLeft();
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != window_) input_.CaptureLost();
            break;
        case WM_SETCURSOR: {
            if (LOWORD(lParam) != HTCLIENT) break;
            if (reinterpret_cast<HWND>(wParam) == window_) {
                if (input_.ApplyCursor()) return TRUE;
                break;
            }
            Control* control = FindByWindow(reinterpret_cast<HWND>(wParam));
            if (control && control->MouseCursor()) {
                SetCursor(control->MouseCursor());
                return TRUE;
            }
            break;
        }
        case DM_GETDEFID:
            // Enter clicks the default button.
            for (const auto& control : controls_)
                if (control->Default().value_or(0) != 0 && control->Enabled())
                    return MAKELRESULT(control->Id(), DC_HASDEFID);
            return 0;
        case WM_GETDLGCODE:
            // Arrows reach a windowless control that has the keys.
            if (input_.HasKeyFocus()) return DLGC_WANTARROWS;
            break;
        case WM_KILLFOCUS:
            input_.FocusMovedTo(reinterpret_cast<HWND>(wParam));
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS: {
            if (input_.HasKeyFocus()) return 0;  // a windowless control keeps the keys on the form
            HWND target = lastFocus_ && IsChild(window_, lastFocus_) && IsWindowEnabled(lastFocus_)
                              ? lastFocus_
                              : GetNextDlgTabItem(window_, nullptr, FALSE);
            if (target) SetFocus(target);
            return 0;
        }
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_QUERYENDSESSION:
            return Form_QueryEndSession() ? TRUE : FALSE;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace host
