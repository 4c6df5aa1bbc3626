#include "codecs/gdiplus_availability.h"

namespace gdiplus {

bool CanStart() { return false; }

}  // namespace gdiplus
