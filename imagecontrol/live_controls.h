// Image controls by identity (their address), so that an identity kept by a
// sibling or a timer reaches a control only while it lives.
#pragma once

#include <cstdint>

class aicAlphaImage;

namespace live_controls {

void Add(aicAlphaImage& control);
void Remove(const aicAlphaImage& control);
aicAlphaImage* Find(uintptr_t identity);
// Hands a timer's tick to the control that owns it; false when that control
// is gone (the caller then stops the timer).
bool RouteTick(uintptr_t owner, uintptr_t window, uintptr_t id);

}  // namespace live_controls
