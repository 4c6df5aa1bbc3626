// The MendlowAlphaImage window class: one image control in a child window,
// painted over what the parent draws behind it, its mouse events raised as
// WM_NOTIFY codes, and a see-through part handing the mouse to what lies
// beneath.
#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "common/accessible_overrides.h"
#include "common/win32_handles.h"
#include "imagecontrol/aicAlphaImage.h"
#include "imagecore/c32bppDIB.h"
#include "imagecontrol/window/window_properties.h"
#include "imagecontrol/window/window_site.h"
#include "mendlow/alpha_image_window.h"

namespace mendlow {
namespace {

constexpr int16_t kHit = 3;
constexpr UINT kDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT, Windows 10 1703 on
constexpr int16_t kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
constexpr int16_t kShiftKey = 1, kCtrlKey = 2, kAltKey = 4;

int16_t ShiftOf(WPARAM keys) {
    return static_cast<int16_t>((keys & MK_SHIFT ? kShiftKey : 0) | (keys & MK_CONTROL ? kCtrlKey : 0) |
                                (GetKeyState(VK_MENU) < 0 ? kAltKey : 0));
}

int16_t KeyboardShift() {
    return ShiftOf((GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0));
}

class AlphaImageHost {
public:
    explicit AlphaImageHost(HWND window) : window_(window), site_(window), control_(site_) {
        site_.SetControl(&control_);
        auto& events = control_.events;
        events.Click = [this](int16_t button) { Notify(AIN_CLICK, button); };
        events.DblClick = [this](int16_t button) { Notify(AIN_DBLCLK, button); };
        events.MouseEnter = [this] { Notify(AIN_MOUSEENTER, 0); };
        events.MouseExit = [this] { Notify(AIN_MOUSEEXIT, 0); };
        events.FadeTerminated = [this](int32_t) { Notify(AIN_FADEEND, 0); };
    }

    void Created() {
        control_.InitProperties();
        // A window's size comes from its creator (a dialog template scales
        // it with the dialog's font): the picture fits it, never resizes it.
        control_.SetAutoSize(false);
        if (!IsWindowEnabled(window_)) control_.SetEnabled(false);
        ApplyStyle(static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)));
        FollowDpi();
        control_.Resize();
        if (IsWindowVisible(window_)) Shown(true);
    }
    void Destroying() { Shown(false); }

    // A handler of one of our notifications may destroy the window: the
    // host outlives it until the last of its messages on the stack returns.
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
        ++depth_;
        const LRESULT result = Handle(message, wParam, lParam);
        --depth_;
        return result;
    }
    // WM_NCDESTROY: true when nothing of the host is on the stack, else it
    // goes when the outermost message returns.
    bool WindowGone() {
        gone_ = true;
        return depth_ == 0;
    }
    bool Finished() const { return gone_ && depth_ == 0; }

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Notify(UINT code, int16_t button) const { Notify(code, button, lastMouse_); }
    void Notify(UINT code, int16_t button, POINT at) const {
        if (gone_) return;
        NMALPHAIMAGE note{};
        note.hdr.hwndFrom = window_;
        note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
        note.hdr.code = code;
        note.button = button;
        note.x = at.x;
        note.y = at.y;
        note.opacity = control_.Opacity();
        SendMessageW(GetParent(window_), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    }
    void Shown(bool shown) {
        if (shown == shown_) return;
        shown_ = shown;
        if (shown)
            control_.Show();
        else
            control_.Hide();
    }
    // Space (on its release) and Enter press it, as they press a button.
    void KeyboardClick() { Notify(AIN_CLICK, 0, POINT{-1, -1}); }
    void Enable(bool enabled) {
        // A pointer over it leaves, for the parent, as no more comes.
        const bool hovered = !enabled && control_.isMouseOver();
        control_.SetEnabled(enabled);
        InvalidateRect(window_, nullptr, FALSE);
        if (hovered) Notify(AIN_MOUSEEXIT, 0);
    }
    void ApplyStyle(DWORD style) {
        control_.SetScaleMethod(static_cast<int32_t>(style & AIS_FITMASK));
        control_.SetHitTest(static_cast<int32_t>((style & AIS_HITMASK) >> 4));
    }
    // An actual-size picture and the shadow's offsets follow the monitor's DPI.
    void FollowDpi() {
        control_.SetDeviceScale(site_.DotsPerInch(true) / 96.0);
        InvalidateRect(window_, nullptr, FALSE);
    }
    // Screen readers hear its window text, as a picture or, when it takes
    // the focus, as a button that Space and Enter press.
    win32::AccessibleOverrides Accessible() const {
        win32::AccessibleOverrides overrides;
        overrides.name = win32::WindowText(window_);
        const bool button = (GetWindowLongW(window_, GWL_STYLE) & WS_TABSTOP) != 0;
        overrides.role = button ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC;
        if (button) overrides.defaultAction = L"Press", overrides.pressMessage = BM_CLICK;
        return overrides;
    }
    bool FocusShown() const {
        return GetFocus() == window_ && !(SendMessageW(window_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
    }
    void Paint(HDC target, const RECT& area);
    void PaintPicture(HDC buffer, const RECT& client, const RECT& area);
    LRESULT HitTest(LPARAM screenPoint);
    void MouseButton(UINT message, WPARAM keys, LPARAM at);
    bool Key(UINT message, WPARAM key);
    bool Load(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_;
    WindowSite site_;
    aicAlphaImage control_;
    bool shown_ = false;
    bool trackingLeave_ = false;
    bool doubleClicked_ = false;  // its release is no second click
    bool spaceHeld_ = false;
    int16_t heldButtons_ = 0;
    POINT lastMouse_{};
    int depth_ = 0;
    bool gone_ = false;
};

void AlphaImageHost::Paint(HDC target, const RECT& area) {
    RECT client{};
    GetClientRect(window_, &client);
    if (IsRectEmpty(&client)) return;
    // Drawn off screen: the parent's background first, then the picture.
    win32::MemoryDc buffer(CreateCompatibleDC(target));
    win32::Bitmap pixels(CreateCompatibleBitmap(target, client.right, client.bottom));
    if (!buffer || !pixels) return;
    win32::SelectObjectScope select(buffer.get(), pixels.get());
    if (HWND parent = GetParent(window_)) {
        POINT origin{0, 0};
        MapWindowPoints(window_, parent, &origin, 1);
        POINT old{};
        SetViewportOrgEx(buffer.get(), -origin.x, -origin.y, &old);
        SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer.get()), 0);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer.get()), PRF_CLIENT);
        SetViewportOrgEx(buffer.get(), old.x, old.y, nullptr);
    }
    PaintPicture(buffer.get(), client, area);
    if (FocusShown()) DrawFocusRect(buffer.get(), &client);
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, buffer.get(), area.left,
           area.top, SRCCOPY);
}

void AlphaImageHost::PaintPicture(HDC buffer, const RECT& client, const RECT& area) {
    const PixelRect clip{area.left, area.top, area.right, area.bottom};
    if (IsWindowEnabled(window_)) {
        control_.Paint(PaintSurface{buffer, nullptr}, clip);
        return;
    }
    // Disabled: the picture greyed and half see-through, as disabled icons are.
    c32bppDIB layer;
    if (!layer.InitializeDIB(client.right, client.bottom)) return;
    layer.SetAlpha(true);
    control_.Paint(PaintSurface{nullptr, &layer}, clip);
    constexpr int32_t kDisabledOpacity = 50, kGrey = 0;
    layer.Render(buffer, 0, 0, 0, 0, 0, 0, 0, 0, kDisabledOpacity, true, true, nullptr, kGrey);
}

LRESULT AlphaImageHost::HitTest(LPARAM screenPoint) {
    POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToClient(window_, &at);
    // Disabled, it still covers what is beneath but raises nothing.
    if (!IsWindowEnabled(window_))
        return control_.HitTestPoint(static_cast<float>(at.x), static_cast<float>(at.y)) ? HTCLIENT : HTTRANSPARENT;
    // The control's own test also raises MouseEnter and MouseExit.
    int16_t result = 0;
    control_.OnHitTest(static_cast<float>(at.x), static_cast<float>(at.y), result);
    return result == kHit ? HTCLIENT : HTTRANSPARENT;
}

void AlphaImageHost::MouseButton(UINT message, WPARAM keys, LPARAM at) {
    int16_t button = 0;
    bool down = false, dbl = false;
    switch (message) {
        case WM_LBUTTONDOWN: button = kLeftButton, down = true; break;
        case WM_RBUTTONDOWN: button = kRightButton, down = true; break;
        case WM_MBUTTONDOWN: button = kMiddleButton, down = true; break;
        case WM_LBUTTONDBLCLK: button = kLeftButton, dbl = true; break;
        case WM_RBUTTONDBLCLK: button = kRightButton, dbl = true; break;
        case WM_MBUTTONDBLCLK: button = kMiddleButton, dbl = true; break;
        case WM_LBUTTONUP: button = kLeftButton; break;
        case WM_RBUTTONUP: button = kRightButton; break;
        case WM_MBUTTONUP: button = kMiddleButton; break;
        default: return;
    }
    lastMouse_ = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    const auto x = static_cast<float>(lastMouse_.x), y = static_cast<float>(lastMouse_.y);
    int16_t shift = ShiftOf(keys);
    if (down || dbl) {
        if (button == kLeftButton && (GetWindowLongW(window_, GWL_STYLE) & WS_TABSTOP)) SetFocus(window_);
        if (gone_) return;
        if (heldButtons_ == 0) SetCapture(window_);
        heldButtons_ = static_cast<int16_t>(heldButtons_ | button);
        doubleClicked_ = dbl;
        if (dbl)
            control_.OnDblClick();
        else
            control_.OnMouseDown(button, shift, x, y);
        return;
    }
    if (!(heldButtons_ & button)) return;  // pressed elsewhere
    heldButtons_ = static_cast<int16_t>(heldButtons_ & ~button);
    control_.OnMouseUp(button, shift, x, y);
    if (gone_ || heldButtons_ != 0) return;
    ReleaseCapture();
    if (std::exchange(doubleClicked_, false)) return;
    // A click is a release on the picture that took the press.
    RECT client{};
    GetClientRect(window_, &client);
    if (PtInRect(&client, lastMouse_) && control_.HitTestPoint(x, y)) control_.OnClick();
}

bool AlphaImageHost::Key(UINT message, WPARAM key) {
    auto code = static_cast<int16_t>(key);
    int16_t shift = KeyboardShift();
    if (message == WM_KEYDOWN) {
        if (key == VK_SPACE) spaceHeld_ = true;
        control_.OnKeyDown(code, shift);
        if (!gone_ && key == VK_RETURN) KeyboardClick();
    } else {
        control_.OnKeyUp(code, shift);
        if (!gone_ && key == VK_SPACE && std::exchange(spaceHeld_, false)) KeyboardClick();
    }
    return !gone_;
}

bool AlphaImageHost::Load(UINT message, WPARAM wParam, LPARAM lParam) {
    int32_t width = 0, height = 0, depth = 0;  // icons: the window's size
    switch (message) {
        case AIM_LOADFILE:
            return lParam && control_.LoadImage_FromFile(reinterpret_cast<const wchar_t*>(lParam), width, height, depth);
        case AIM_LOADBYTES: {
            if (!lParam || wParam == 0) return false;
            const auto* bytes = reinterpret_cast<const uint8_t*>(lParam);
            return control_.LoadImage_FromArray(Bytes(bytes, bytes + wParam), width, height, depth);
        }
        case AIM_LOADRESOURCE: {
            const auto* resource = reinterpret_cast<const AlphaImageResource*>(lParam);
            if (!resource || !resource->type || !resource->name) return false;
            const c32bppDIB::ResourceSection section =
                IS_INTRESOURCE(resource->type) ? L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(resource->type))
                                               : std::wstring(resource->type);
            c32bppDIB::ResourceId id = std::wstring();
            if (IS_INTRESOURCE(resource->name))
                id = static_cast<int32_t>(reinterpret_cast<uintptr_t>(resource->name));
            else
                id = std::wstring(resource->name);
            return control_.LoadImage_FromResource(resource->module, section, id, width, height, depth);
        }
        case AIM_LOADCLIPBOARD: return control_.LoadImage_FromClipboard();
        default: return false;
    }
}

LRESULT AlphaImageHost::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // painted whole, with the parent's background
        case WM_PAINT: {
            win32::PaintDc dc(window_);
            Paint(dc.get(), dc.area());
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT client{};
            GetClientRect(window_, &client);
            Paint(reinterpret_cast<HDC>(wParam), client);
            return 0;
        }
        case WM_SIZE:
            control_.Resize();
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_MOVE: InvalidateRect(window_, nullptr, FALSE); return 0;  // another part of the parent shows through
        case WM_SHOWWINDOW: Shown(wParam != 0); break;
        case WM_WINDOWPOSCHANGED: {
            // SetWindowPos shows and hides without WM_SHOWWINDOW.
            const auto& position = *reinterpret_cast<const WINDOWPOS*>(lParam);
            if (position.flags & SWP_SHOWWINDOW) Shown(true);
            if (position.flags & SWP_HIDEWINDOW) Shown(false);
            break;  // DefWindowProcW sends WM_SIZE and WM_MOVE
        }
        case WM_ENABLE: Enable(wParam != 0); return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            spaceHeld_ = false;
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_UPDATEUISTATE: InvalidateRect(window_, nullptr, FALSE); break;
        case kDpiChangedAfterParent: FollowDpi(); return 0;
        case WM_STYLECHANGED: {
            const auto& change = *reinterpret_cast<const STYLESTRUCT*>(lParam);
            constexpr DWORD kOurs = AIS_FITMASK | AIS_HITMASK;
            if (wParam == static_cast<WPARAM>(GWL_STYLE) && ((change.styleOld ^ change.styleNew) & kOurs))
                ApplyStyle(change.styleNew);
            return 0;
        }
        case WM_GETDLGCODE: {
            // A button's: Enter presses it rather than the dialog's default button.
            const auto* pending = reinterpret_cast<const MSG*>(lParam);
            if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
                return DLGC_BUTTON | DLGC_WANTMESSAGE;
            return DLGC_BUTTON;
        }
        case BM_CLICK: KeyboardClick(); return 0;
        case WM_GETOBJECT:
            if (const LRESULT answer = win32::AnswerGetObject(window_, wParam, lParam, Accessible())) return answer;
            break;  // a dialog's mnemonic, an accessibility client
        case WM_NCHITTEST: return HitTest(lParam);
        case WM_MOUSEMOVE: {
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
                trackingLeave_ = TrackMouseEvent(&track) != FALSE;
            }
            lastMouse_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            int16_t held = static_cast<int16_t>((wParam & MK_LBUTTON ? kLeftButton : 0) |
                                                (wParam & MK_RBUTTON ? kRightButton : 0) |
                                                (wParam & MK_MBUTTON ? kMiddleButton : 0));
            int16_t shift = ShiftOf(wParam);
            control_.OnMouseMove(held, shift, static_cast<float>(lastMouse_.x), static_cast<float>(lastMouse_.y));
            return 0;
        }
        case WM_MOUSELEAVE: {
            trackingLeave_ = false;
            int16_t result = 0;
            if (heldButtons_ == 0) control_.OnHitTest(-1, -1, result);  // ends the hover
            return 0;
        }
        case WM_CAPTURECHANGED: heldButtons_ = 0; return 0;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
            MouseButton(message, wParam, lParam);
            return 0;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
            // DefWindowProcW turns a right button's release into WM_CONTEXTMENU.
            MouseButton(message, wParam, lParam);
            if (gone_) return 0;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            // DefWindowProcW turns Shift+F10 and the menu key into WM_CONTEXTMENU.
            if (!Key(message, wParam)) return 0;
            break;
        case WM_CHAR: {
            auto key = static_cast<int16_t>(wParam);
            control_.OnKeyPress(key);
            return 0;
        }
        case AIM_LOADFILE: case AIM_LOADBYTES: case AIM_LOADRESOURCE: case AIM_LOADCLIPBOARD:
            if (Load(message, wParam, lParam)) return TRUE;
            // The image gave up its picture when it began to decode: show that.
            control_.ClearImage();
            return FALSE;
        case AIM_CLEAR: control_.ClearImage(); return TRUE;
        case AIM_SETPROPERTY: return SetWindowProperty(control_, wParam, lParam) ? TRUE : FALSE;
        case AIM_GETPROPERTY: return GetWindowProperty(control_, wParam);
        case AIM_FADE: {
            // The control clamps the target and does nothing without a step.
            const auto step = static_cast<int16_t>(LOWORD(lParam));
            const bool fades = step != 0 && std::clamp(static_cast<int32_t>(wParam), 0, 100) != control_.Opacity();
            control_.FadeInOut(static_cast<int32_t>(wParam), step, HIWORD(lParam));
            return fades ? TRUE : FALSE;
        }
        case AIM_HITTEST:
            return control_.HitTestPoint(static_cast<float>(GET_X_LPARAM(lParam)),
                                         static_cast<float>(GET_Y_LPARAM(lParam)));
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// Where the class was registered, for windows made by AlphaImageWindow::Create.
std::atomic<HINSTANCE> registeredInstance{nullptr};

// The window's slot owns its host; this takes it back once the host is done.
void FreeHost(AlphaImageHost* host) { std::unique_ptr<AlphaImageHost> done(host); }

AlphaImageHost* HostOf(HWND window) { return reinterpret_cast<AlphaImageHost*>(GetWindowLongPtrW(window, 0)); }

LRESULT CALLBACK AlphaImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            // The window owns its host from here to WM_NCDESTROY.
            SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(std::make_unique<AlphaImageHost>(window).release()));
            break;
        case WM_CREATE:
            if (AlphaImageHost* host = HostOf(window)) host->Created();
            return 0;
        case WM_DESTROY:
            if (AlphaImageHost* host = HostOf(window)) host->Destroying();
            return 0;
        case WM_NCDESTROY:
            if (AlphaImageHost* host = HostOf(window)) {
                SetWindowLongPtrW(window, 0, 0);
                if (host->WindowGone()) FreeHost(host);
            }
            break;
        default:
            if (AlphaImageHost* host = HostOf(window)) {
                const LRESULT result = host->Dispatch(message, wParam, lParam);
                if (host->Finished()) FreeHost(host);
                return result;
            }
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterAlphaImageWindowClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, MENDLOW_ALPHA_IMAGE_CLASS, &existing)) {
        // Another class by that name would take our messages for its own.
        if (existing.lpfnWndProc != AlphaImageWindowProc) return false;
        registeredInstance = instance;
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = AlphaImageWindowProc;
    windowClass.cbWndExtra = sizeof(AlphaImageHost*);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    windowClass.lpszClassName = MENDLOW_ALPHA_IMAGE_CLASS;
    if (RegisterClassExW(&windowClass) == 0) return false;
    registeredInstance = instance;
    return true;
}

bool UnregisterAlphaImageWindowClass(HINSTANCE instance) {
    if (!UnregisterClassW(MENDLOW_ALPHA_IMAGE_CLASS, instance)) return false;
    HINSTANCE expected = instance;
    registeredInstance.compare_exchange_strong(expected, nullptr);
    return true;
}

HINSTANCE AlphaImageWindowClassInstance() { return registeredInstance; }

}  // namespace mendlow
