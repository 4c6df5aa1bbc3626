// Mouse, keys and drops for a form's windowless controls: which control a
// point is on (topmost first, by its own hit test), which one keeps the mouse
// while a button is held, and which one has the keys.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include <cstdint>

#include "common/win32_handles.h"

namespace host {

class Form;
class WindowlessControl;

class WindowlessInput {
public:
    explicit WindowlessInput(Form& form) : form_(form) {}
    WindowlessInput(const WindowlessInput&) = delete;
    WindowlessInput& operator=(const WindowlessInput&) = delete;

    // A mouse message of the form's client area; false when no windowless
    // control took it.
    bool Mouse(UINT message, WPARAM wParam, LPARAM lParam);
    void MouseLeft();    // WM_MOUSELEAVE
    void CaptureLost();  // another window took the capture
    // Shows the cursor of the control that has the mouse; false when it has
    // none of its own (or no control has the mouse).
    bool ApplyCursor() const;

    // A key message for the form's own window, before dialog navigation:
    // true when the focused control's handler swallowed it (set it to 0);
    // otherwise msg carries the value the handler left.
    bool Key(MSG& msg);
    // A clicked control has the keys until a child window takes the focus.
    bool HasKeyFocus() const { return keyFocus_ != nullptr; }
    void FocusMovedTo(HWND window);

    // The form's drop target; points are on the screen, results are the
    // effect for the source.
    DWORD DragEnter(IDataObject* data, DWORD keyState, POINTL at, DWORD effect);
    DWORD DragOver(DWORD keyState, POINTL at, DWORD effect);
    void DragLeave();
    DWORD Drop(IDataObject* data, DWORD keyState, POINTL at, DWORD effect);

    // The controls are going away.
    void Reset();

private:
    // The topmost visible, enabled control whose rectangle holds the point
    // and whose hit test answers a hit (drop targets only: OLEDropMode 1).
    WindowlessControl* HitAt(POINT client, bool dropTargetsOnly) const;
    // The control the mouse is now over; the one it was over before is told
    // that the mouse is outside it when no control is hit.
    WindowlessControl* Hover(POINT client);
    void TrackLeave();
    void TakeKeyFocus(WindowlessControl& control);
    DWORD RaiseDragOver(WindowlessControl& control, POINT client, DWORD effect, int16_t state);

    Form& form_;
    WindowlessControl* hovered_ = nullptr;
    WindowlessControl* pressed_ = nullptr;  // holds the mouse until every button is up
    int16_t heldButtons_ = 0;
    bool doubleClickUp_ = false;  // the next release ends a double click: no Click
    WindowlessControl* lastClicked_ = nullptr;
    bool trackingLeave_ = false;
    WindowlessControl* keyFocus_ = nullptr;
    WindowlessControl* dragOver_ = nullptr;
    win32::ComPtr<IDataObject> dragData_;
    DWORD dragKeyState_ = 0;  // the last ones the drag reported
    DWORD dragEffect_ = DROPEFFECT_NONE;
    POINT dragPoint_{};  // client pixels
};

}  // namespace host
