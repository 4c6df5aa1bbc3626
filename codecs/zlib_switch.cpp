#include "codecs/modParsers.h"

#include <atomic>

namespace modParsers {
namespace {
std::atomic<bool> zlibDisabled{false};
}

void SetZlibDisabled(bool disabled) { zlibDisabled = disabled; }
bool IsZlibDisabled() { return zlibDisabled; }

}  // namespace modParsers
