// Icons and cursors made from the bytes of .ico and .cur files.
#pragma once

#include <cstdint>
#include <span>

#include "common/win32_handles.h"

namespace host {

win32::Icon IconFromFileBytes(std::span<const uint8_t> file, int wantedSize);
// From a cursor file, or from an icon file with the hot spot in the centre.
win32::Cursor CursorFromFileBytes(std::span<const uint8_t> file, int wantedSize);

}  // namespace host
