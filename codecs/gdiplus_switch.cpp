#include "codecs/gdiplus_availability.h"

namespace gdiplus {
namespace {
bool disabled = false;
}

void SetDisabled(bool value) { disabled = value; }
bool IsDisabled() { return disabled; }

}  // namespace gdiplus
