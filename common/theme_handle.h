// Owning wrapper for visual-style theme data.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "common/win32_handles.h"

namespace win32 {

struct ThemeTraits {
    using Handle = HTHEME;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { CloseThemeData(h); }
};
using Theme = Unique<ThemeTraits>;

}  // namespace win32
