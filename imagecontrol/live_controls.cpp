#include "imagecontrol/live_controls.h"

#include <mutex>
#include <unordered_map>

#include "imagecontrol/aicAlphaImage.h"

namespace live_controls {
namespace {

// Controls of every user-interface thread; each control is reached only
// from its own thread, but the table is shared.
struct Table {
    std::mutex lock;
    std::unordered_map<uintptr_t, aicAlphaImage*> controls;
};
Table& Controls() {
    static Table table;
    return table;
}

}  // namespace

void Add(aicAlphaImage& control) {
    Table& table = Controls();
    const std::lock_guard hold(table.lock);
    table.controls[control.Identity()] = &control;
}

void Remove(const aicAlphaImage& control) {
    Table& table = Controls();
    const std::lock_guard hold(table.lock);
    table.controls.erase(control.Identity());
}

aicAlphaImage* Find(uintptr_t identity) {
    Table& table = Controls();
    const std::lock_guard hold(table.lock);
    auto found = table.controls.find(identity);
    return found == table.controls.end() ? nullptr : found->second;
}

bool RouteTick(uintptr_t owner, uintptr_t window, uintptr_t id) {
    aicAlphaImage* control = Find(owner);
    if (control == nullptr) return false;
    control->TimerTick(window, id);
    return true;
}

}  // namespace live_controls
