// Cursor queries and timers on the window system. Timers are ordinary
// SetTimer timers; a table from (window, timer id) to the control's identity
// routes each tick, through the table of live controls, to its control.
// A timer ticks on its window's thread; the table is shared by all threads.
#include <windows.h>

#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/live_controls.h"
#include "imagecontrol/user_interface_system.h"

namespace {

using TimerKey = std::pair<HWND, UINT_PTR>;

class TimerOwners {
public:
    void Set(TimerKey key, uintptr_t owner) {
        const std::lock_guard hold(lock_);
        owners_[key] = owner;
    }
    void Erase(TimerKey key) {
        const std::lock_guard hold(lock_);
        owners_.erase(key);
    }
    std::optional<uintptr_t> Find(TimerKey key) {
        const std::lock_guard hold(lock_);
        const auto found = owners_.find(key);
        return found == owners_.end() ? std::nullopt : std::optional(found->second);
    }

private:
    std::mutex lock_;
    std::map<TimerKey, uintptr_t> owners_;
};

TimerOwners& Owners() {
    static TimerOwners owners;
    return owners;
}

void CALLBACK RouteTick(HWND window, UINT, UINT_PTR id, DWORD) {
    // Not held while the control runs: it sets and stops timers itself.
    const std::optional<uintptr_t> owner = Owners().Find({window, id});
    if (owner && live_controls::RouteTick(*owner, reinterpret_cast<uintptr_t>(window), id)) return;
    // Its control is gone: the timer has nobody to serve.
    KillTimer(window, id);
    Owners().Erase({window, id});
}

class WindowSystem final : public UserInterfaceSystem {
public:
    bool CursorPosition(int32_t& x, int32_t& y) const override {
        POINT p;
        if (!GetCursorPos(&p)) return false;
        x = p.x, y = p.y;
        return true;
    }
    uintptr_t WindowFromPoint(int32_t x, int32_t y) const override {
        return reinterpret_cast<uintptr_t>(::WindowFromPoint(POINT{x, y}));
    }
    void ClientOrigin(uintptr_t window, int32_t& x, int32_t& y) const override {
        POINT origin{0, 0};
        ClientToScreen(reinterpret_cast<HWND>(window), &origin);
        x = origin.x, y = origin.y;
    }
    void SetTimer(uintptr_t window, uintptr_t id, uint32_t milliseconds, uintptr_t owner) override {
        const auto hwnd = reinterpret_cast<HWND>(window);
        Owners().Set({hwnd, id}, owner);
        ::SetTimer(hwnd, id, milliseconds, RouteTick);
    }
    void KillTimer(uintptr_t window, uintptr_t id) override {
        const auto hwnd = reinterpret_cast<HWND>(window);
        ::KillTimer(hwnd, id);
        Owners().Erase({hwnd, id});
    }
};

}  // namespace

UserInterfaceSystem& SystemUserInterface() {
    static WindowSystem system;
    return system;
}
