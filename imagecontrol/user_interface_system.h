// The window system as the control's mouse tracking and fading use it:
// the cursor, windows under it, and timers that come back to the control
// whose identity started them (never to one that is gone).
#pragma once

#include <cstdint>

class UserInterfaceSystem {
public:
    virtual ~UserInterfaceSystem() = default;
    virtual bool CursorPosition(int32_t& x, int32_t& y) const = 0;
    virtual uintptr_t WindowFromPoint(int32_t x, int32_t y) const = 0;
    // Where the window's client area starts on the screen.
    virtual void ClientOrigin(uintptr_t window, int32_t& x, int32_t& y) const = 0;
    // A tick calls TimerTick(window, id) on the live control `owner`.
    virtual void SetTimer(uintptr_t window, uintptr_t id, uint32_t milliseconds, uintptr_t owner) = 0;
    virtual void KillTimer(uintptr_t window, uintptr_t id) = 0;
};

// The process's window system (natively: no cursor and no timers).
UserInterfaceSystem& SystemUserInterface();
