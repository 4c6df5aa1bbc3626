#include "app/theme_library.h"

#include "common/system_library.h"

namespace uxtheme {
namespace {

struct Functions {
    decltype(&::IsAppThemed) isAppThemed = nullptr;
    decltype(&::IsThemeActive) isThemeActive = nullptr;
    decltype(&::GetThemeAppProperties) getThemeAppProperties = nullptr;
    decltype(&::OpenThemeData) openThemeData = nullptr;
    decltype(&::CloseThemeData) closeThemeData = nullptr;
    decltype(&::GetThemeBackgroundRegion) getThemeBackgroundRegion = nullptr;
    decltype(&::IsThemeBackgroundPartiallyTransparent) isThemeBackgroundPartiallyTransparent = nullptr;
    decltype(&::DrawThemeParentBackground) drawThemeParentBackground = nullptr;
    decltype(&::DrawThemeBackground) drawThemeBackground = nullptr;
    decltype(&::GetThemeBackgroundContentRect) getThemeBackgroundContentRect = nullptr;
    decltype(&::DrawThemeText) drawThemeText = nullptr;
};

const Functions& Bound() {
    static const Functions functions = [] {
        Functions f;
        HMODULE m = win32::LoadSystemLibrary(L"uxtheme.dll").release();  // for the process's life
        auto bind = [m](auto& target, const char* name) { target = win32::Export<decltype(+target)>(m, name); };
        bind(f.isAppThemed, "IsAppThemed");
        bind(f.isThemeActive, "IsThemeActive");
        bind(f.getThemeAppProperties, "GetThemeAppProperties");
        bind(f.openThemeData, "OpenThemeData");
        bind(f.closeThemeData, "CloseThemeData");
        bind(f.getThemeBackgroundRegion, "GetThemeBackgroundRegion");
        bind(f.isThemeBackgroundPartiallyTransparent, "IsThemeBackgroundPartiallyTransparent");
        bind(f.drawThemeParentBackground, "DrawThemeParentBackground");
        bind(f.drawThemeBackground, "DrawThemeBackground");
        bind(f.getThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
        bind(f.drawThemeText, "DrawThemeText");
        return f;
    }();
    return functions;
}

// Calls the bound function, or answers `missing` without the library.
template <class Function, class Result, class... Args>
Result Call(Function function, Result missing, Args... args) {
    return function ? function(args...) : missing;
}

}  // namespace

BOOL IsAppThemed() { return Call(Bound().isAppThemed, FALSE); }
BOOL IsThemeActive() { return Call(Bound().isThemeActive, FALSE); }
DWORD GetThemeAppProperties() { return Call(Bound().getThemeAppProperties, DWORD{0}); }
HTHEME OpenThemeData(HWND window, const wchar_t* classList) {
    return Call(Bound().openThemeData, HTHEME{}, window, classList);
}
HRESULT CloseThemeData(HTHEME theme) { return Call(Bound().closeThemeData, E_FAIL, theme); }
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HRGN* region) {
    return Call(Bound().getThemeBackgroundRegion, E_FAIL, theme, dc, part, state, rect, region);
}
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
    return Call(Bound().isThemeBackgroundPartiallyTransparent, FALSE, theme, part, state);
}
HRESULT DrawThemeParentBackground(HWND window, HDC dc, RECT* rect) {
    return Call(Bound().drawThemeParentBackground, E_FAIL, window, dc, rect);
}
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
    return Call(Bound().drawThemeBackground, E_FAIL, theme, dc, part, state, rect, clip);
}
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, RECT* content) {
    return Call(Bound().getThemeBackgroundContentRect, E_FAIL, theme, dc, part, state, bounds, content);
}
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int length, DWORD flags,
                      DWORD flags2, const RECT* rect) {
    return Call(Bound().drawThemeText, E_FAIL, theme, dc, part, state, text, length, flags, flags2, rect);
}

}  // namespace uxtheme
