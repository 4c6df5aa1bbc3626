// The theme library, loaded from the system folder at run time: imported by
// name it would be taken from the program's folder first. Without it
// nothing is themed and no theme data opens.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "common/win32_handles.h"

namespace uxtheme {

BOOL IsAppThemed();
BOOL IsThemeActive();
DWORD GetThemeAppProperties();
HTHEME OpenThemeData(HWND window, const wchar_t* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HRGN* region);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT DrawThemeParentBackground(HWND window, HDC dc, RECT* rect);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, RECT* content);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length, DWORD flags,
                      DWORD flags2, const RECT* rect);

}  // namespace uxtheme

namespace win32 {

struct ThemeTraits {
    using Handle = HTHEME;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { uxtheme::CloseThemeData(h); }
};
using Theme = Unique<ThemeTraits>;

}  // namespace win32
