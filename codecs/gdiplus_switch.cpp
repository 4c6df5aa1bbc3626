#include "codecs/gdiplus_availability.h"

#include <atomic>

namespace gdiplus {
namespace {
std::atomic<bool> disabled{false};
}

void SetDisabled(bool value) { disabled = value; }
bool IsDisabled() { return disabled; }

}  // namespace gdiplus
