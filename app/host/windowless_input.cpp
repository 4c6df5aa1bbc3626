#include "app/host/windowless_input.h"

#include <windowsx.h>

#include "app/host/form.h"
#include "app/host/windowless.h"

namespace host {
namespace {

constexpr int16_t kHit = 3;
constexpr int16_t kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
constexpr int16_t kShiftKey = 1, kCtrlKey = 2, kAltKey = 4;
constexpr int16_t kDragEnter = 0, kDragLeave = 1, kDragOver = 2;
constexpr int16_t kManualDrop = 1;
// Beyond every control's own pixels.
constexpr float kOutside = -1;

int16_t ButtonsOf(WPARAM keys) {
    return static_cast<int16_t>((keys & MK_LBUTTON ? kLeftButton : 0) | (keys & MK_RBUTTON ? kRightButton : 0) |
                                (keys & MK_MBUTTON ? kMiddleButton : 0));
}

// Mouse messages carry shift and ctrl; alt is read from the keyboard.
int16_t ShiftOf(WPARAM keys) {
    return static_cast<int16_t>((keys & MK_SHIFT ? kShiftKey : 0) | (keys & MK_CONTROL ? kCtrlKey : 0) |
                                (GetKeyState(VK_MENU) < 0 ? kAltKey : 0));
}

int16_t KeyboardShift() {
    return static_cast<int16_t>((GetKeyState(VK_SHIFT) < 0 ? kShiftKey : 0) |
                                (GetKeyState(VK_CONTROL) < 0 ? kCtrlKey : 0) |
                                (GetKeyState(VK_MENU) < 0 ? kAltKey : 0));
}

// A drop's key state carries all three.
int16_t DropShiftOf(DWORD keys) {
    return static_cast<int16_t>((keys & MK_SHIFT ? kShiftKey : 0) | (keys & MK_CONTROL ? kCtrlKey : 0) |
                                (keys & MK_ALT ? kAltKey : 0));
}

float ControlX(const WindowlessControl& control, POINT client) {
    return static_cast<float>(client.x - control.Bounds().left);
}
float ControlY(const WindowlessControl& control, POINT client) {
    return static_cast<float>(client.y - control.Bounds().top);
}

void TellOutside(WindowlessControl& control) {
    int16_t result = 0;
    if (WindowlessObject* object = control.Hosted()) object->OnHitTest(kOutside, kOutside, result);
}

}  // namespace

WindowlessControl* WindowlessInput::HitAt(POINT client, bool dropTargetsOnly) const {
    std::vector<WindowlessControl*> controls = form_.WindowlessControls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        WindowlessControl& control = **it;
        if (!control.Hosted() || !control.Visible() || !control.Enabled()) continue;
        if (dropTargetsOnly && control.OLEDropMode() != kManualDrop) continue;
        if (!PtInRect(&control.Bounds(), client)) continue;
        int16_t result = 0;
        control.Hosted()->OnHitTest(ControlX(control, client), ControlY(control, client), result);
        if (result == kHit) return &control;
    }
    return nullptr;
}

WindowlessControl* WindowlessInput::Hover(POINT client) {
    WindowlessControl* hit = HitAt(client, false);
    // Moving straight onto another control needs nothing here: a control
    // that shares the mouse with its siblings hands it over in its hit test.
    if (!hit && hovered_) TellOutside(*hovered_);
    hovered_ = hit;
    return hit;
}

void WindowlessInput::TrackLeave() {
    if (trackingLeave_) return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, form_.Window(), 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
}

bool WindowlessInput::Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    enum class Kind { kMove, kDown, kDouble, kUp } kind;
    int16_t button = 0;
    switch (message) {
        case WM_MOUSEMOVE: kind = Kind::kMove; break;
        case WM_LBUTTONDOWN: kind = Kind::kDown, button = kLeftButton; break;
        case WM_RBUTTONDOWN: kind = Kind::kDown, button = kRightButton; break;
        case WM_MBUTTONDOWN: kind = Kind::kDown, button = kMiddleButton; break;
        case WM_LBUTTONDBLCLK: kind = Kind::kDouble, button = kLeftButton; break;
        case WM_RBUTTONDBLCLK: kind = Kind::kDouble, button = kRightButton; break;
        case WM_MBUTTONDBLCLK: kind = Kind::kDouble, button = kMiddleButton; break;
        case WM_LBUTTONUP: kind = Kind::kUp, button = kLeftButton; break;
        case WM_RBUTTONUP: kind = Kind::kUp, button = kRightButton; break;
        case WM_MBUTTONUP: kind = Kind::kUp, button = kMiddleButton; break;
        default: return false;
    }
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (kind == Kind::kMove) TrackLeave();
    WindowlessControl* before = hovered_;
    WindowlessControl* target = pressed_ ? pressed_ : Hover(at);
    if (!pressed_ && hovered_ != before && !ApplyCursor())
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */));
    if (!target || !target->Hosted()) return false;

    // A double click on another control than the one clicked is a press.
    if (kind == Kind::kDouble && (pressed_ || target != lastClicked_)) kind = Kind::kDown;
    int16_t shift = ShiftOf(wParam);
    const float x = ControlX(*target, at), y = ControlY(*target, at);
    switch (kind) {
        case Kind::kMove: {
            int16_t held = ButtonsOf(wParam);
            target->Hosted()->OnMouseMove(held, shift, x, y);
            break;
        }
        case Kind::kDown:
        case Kind::kDouble:
            if (!pressed_) {
                pressed_ = target;
                SetCapture(form_.Window());
            }
            heldButtons_ = static_cast<int16_t>(heldButtons_ | button);
            TakeKeyFocus(*target);
            if (kind == Kind::kDouble) {
                doubleClickUp_ = true;
                lastClicked_ = nullptr;  // a third press starts over
                target->Hosted()->OnDblClick();
            } else {
                target->Hosted()->OnMouseDown(button, shift, x, y);
            }
            break;
        case Kind::kUp: {
            heldButtons_ = static_cast<int16_t>(heldButtons_ & ~button);
            target->Hosted()->OnMouseUp(button, shift, x, y);
            if (target != pressed_ || heldButtons_ != 0) break;
            const bool endsDoubleClick = doubleClickUp_;
            pressed_ = nullptr;
            doubleClickUp_ = false;
            ReleaseCapture();
            // A click is a release on the control that took the press.
            if (Hover(at) == target && !endsDoubleClick && target->Hosted()) {
                lastClicked_ = target;
                target->Hosted()->OnClick();
            }
            break;
        }
    }
    return true;
}

void WindowlessInput::MouseLeft() {
    trackingLeave_ = false;
    if (pressed_ || !hovered_) return;  // the release decides
    TellOutside(*hovered_);
    hovered_ = nullptr;
}

void WindowlessInput::CaptureLost() {
    pressed_ = nullptr;
    heldButtons_ = 0;
    doubleClickUp_ = false;
}

bool WindowlessInput::ApplyCursor() const {
    WindowlessControl* control = pressed_ ? pressed_ : hovered_;
    HCURSOR cursor = control ? control->MouseCursor() : nullptr;
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

void WindowlessInput::TakeKeyFocus(WindowlessControl& control) {
    keyFocus_ = &control;  // before the form's WM_SETFOCUS, which keeps it then
    if (GetFocus() != form_.Window()) SetFocus(form_.Window());
}

void WindowlessInput::FocusMovedTo(HWND window) {
    // Another program's window leaves the control the keys for when the form
    // is active again.
    if (window && IsChild(form_.Window(), window)) keyFocus_ = nullptr;
}

bool WindowlessInput::Key(MSG& msg) {
    WindowlessControl* control = keyFocus_;
    if (!control || msg.hwnd != form_.Window() || !control->Hosted() || !control->Visible() || !control->Enabled())
        return false;
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            auto keyCode = static_cast<int16_t>(msg.wParam);
            int16_t shift = KeyboardShift();
            if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
                control->Hosted()->OnKeyDown(keyCode, shift);
            else
                control->Hosted()->OnKeyUp(keyCode, shift);
            if (keyCode == 0) return true;
            msg.wParam = static_cast<uint16_t>(keyCode);
            return false;
        }
        case WM_CHAR: {
            auto keyAscii = static_cast<int16_t>(msg.wParam);
            control->Hosted()->OnKeyPress(keyAscii);
            if (keyAscii == 0) return true;
            msg.wParam = static_cast<uint16_t>(keyAscii);
            return false;
        }
        default:
            return false;
    }
}

DWORD WindowlessInput::RaiseDragOver(WindowlessControl& control, POINT client, DWORD effect, int16_t state) {
    auto result = static_cast<int32_t>(effect);
    int16_t button = ButtonsOf(dragKeyState_), shift = DropShiftOf(dragKeyState_);
    void* data = dragData_.get();
    if (WindowlessObject* object = control.Hosted())
        object->OnOLEDragOver(data, result, button, shift, ControlX(control, client),
                              ControlY(control, client), state);
    return static_cast<DWORD>(result);
}

DWORD WindowlessInput::DragEnter(IDataObject* data, DWORD keyState, POINTL at, DWORD effect) {
    if (data) data->AddRef();
    dragData_ = win32::ComPtr<IDataObject>(data);
    dragOver_ = nullptr;
    return DragOver(keyState, at, effect);
}

DWORD WindowlessInput::DragOver(DWORD keyState, POINTL at, DWORD effect) {
    dragKeyState_ = keyState;
    dragEffect_ = effect;
    POINT client{at.x, at.y};
    ScreenToClient(form_.Window(), &client);
    dragPoint_ = client;
    WindowlessControl* under = HitAt(client, true);
    if (dragOver_ && under != dragOver_) RaiseDragOver(*dragOver_, client, effect, kDragLeave);
    const bool entering = under != dragOver_;
    dragOver_ = under;
    return under ? RaiseDragOver(*under, client, effect, entering ? kDragEnter : kDragOver) : DROPEFFECT_NONE;
}

void WindowlessInput::DragLeave() {
    // Told where the drag was last, with what it allowed then.
    if (dragOver_) RaiseDragOver(*dragOver_, dragPoint_, dragEffect_, kDragLeave);
    dragOver_ = nullptr;
    dragData_.reset();
}

DWORD WindowlessInput::Drop(IDataObject* data, DWORD keyState, POINTL at, DWORD effect) {
    dragKeyState_ = keyState;
    POINT client{at.x, at.y};
    ScreenToClient(form_.Window(), &client);
    WindowlessControl* under = HitAt(client, true);
    if (dragOver_ && under != dragOver_) RaiseDragOver(*dragOver_, client, effect, kDragLeave);
    dragOver_ = nullptr;
    auto result = static_cast<int32_t>(DROPEFFECT_NONE);
    if (under && under->Hosted()) {
        result = static_cast<int32_t>(effect);
        int16_t button = ButtonsOf(keyState), shift = DropShiftOf(keyState);
        void* dropped = data;
        under->Hosted()->OnOLEDragDrop(dropped, result, button, shift, ControlX(*under, client),
                                       ControlY(*under, client));
    }
    dragData_.reset();
    return static_cast<DWORD>(result);
}

void WindowlessInput::Reset() {
    if (pressed_ && GetCapture() == form_.Window()) {
        pressed_ = nullptr;
        ReleaseCapture();
    }
    hovered_ = pressed_ = lastClicked_ = keyFocus_ = dragOver_ = nullptr;
    heldButtons_ = 0;
    doubleClickUp_ = trackingLeave_ = false;
    dragData_.reset();
}

}  // namespace host
