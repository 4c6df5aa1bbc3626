#include "codecs/modParsers.h"

namespace modParsers {
namespace {
bool zlibDisabled = false;
}

void SetZlibDisabled(bool disabled) { zlibDisabled = disabled; }
bool IsZlibDisabled() { return zlibDisabled; }

}  // namespace modParsers
