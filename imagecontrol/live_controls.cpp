#include "imagecontrol/live_controls.h"

#include <unordered_map>

#include "imagecontrol/aicAlphaImage.h"

namespace live_controls {
namespace {

// One user-interface thread: no lock.
std::unordered_map<uintptr_t, aicAlphaImage*>& Table() {
    static std::unordered_map<uintptr_t, aicAlphaImage*> table;
    return table;
}

}  // namespace

void Add(aicAlphaImage& control) { Table()[control.Identity()] = &control; }
void Remove(const aicAlphaImage& control) { Table().erase(control.Identity()); }

aicAlphaImage* Find(uintptr_t identity) {
    auto found = Table().find(identity);
    return found == Table().end() ? nullptr : found->second;
}

bool RouteTick(uintptr_t owner, uintptr_t window, uintptr_t id) {
    aicAlphaImage* control = Find(owner);
    if (control == nullptr) return false;
    control->TimerTick(window, id);
    return true;
}

}  // namespace live_controls
