// Image controls by identity (their address), so that an identity kept by a
// sibling or a timer reaches a control only while it lives.
#pragma once

#include <cstdint>

class aicAlphaImage;

namespace live_controls {

void Add(aicAlphaImage& control);
void Remove(const aicAlphaImage& control);
aicAlphaImage* Find(uintptr_t identity);

}  // namespace live_controls
