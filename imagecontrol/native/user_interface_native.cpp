// Without a window system there is no cursor to follow and no timer to run;
// the mouse tracking and fades then stay where they are.
#include "imagecontrol/cCrossComm.h"
#include "imagecontrol/user_interface_system.h"

namespace {

class NoWindowSystem final : public UserInterfaceSystem {
public:
    bool CursorPosition(int32_t&, int32_t&) const override { return false; }
    uintptr_t WindowFromPoint(int32_t, int32_t) const override { return 0; }
    void ClientOrigin(uintptr_t, int32_t& x, int32_t& y) const override { x = y = 0; }
    void SetTimer(uintptr_t, uintptr_t, uint32_t, uintptr_t) override {}
    void KillTimer(uintptr_t, uintptr_t) override {}
};

}  // namespace

UserInterfaceSystem& SystemUserInterface() {
    static NoWindowSystem system;
    return system;
}

// No GDI+ natively: nothing to start.
void cCrossComm::ManageGDIToken(uintptr_t) {}
