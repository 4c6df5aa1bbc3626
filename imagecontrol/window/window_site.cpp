#include "imagecontrol/window/window_site.h"

#include <algorithm>
#include <cmath>

#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/scale_units.h"

namespace mendlow {

const PropertyValue* WindowSite::ReadProperty(const std::string& key) const {
    auto found = std::ranges::find(stored_, key, &std::pair<std::string, PropertyValue>::first);
    return found == stored_.end() ? nullptr : &found->second;
}

void WindowSite::WriteProperty(const std::string& key, PropertyValue value, const PropertyValue& defaultValue) {
    std::erase_if(stored_, [&](const auto& entry) { return entry.first == key; });
    if (value != defaultValue) stored_.emplace_back(key, std::move(value));
}

double WindowSite::ScaleWidth() const {
    RECT client{};
    GetClientRect(window_, &client);
    return client.right;
}

double WindowSite::ScaleHeight() const {
    RECT client{};
    GetClientRect(window_, &client);
    return client.bottom;
}

int WindowSite::DotsPerInch(bool horizontal) const {
    // The window's own monitor where the system knows it (Windows 10 1607 on).
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow)
        if (const UINT dpi = dpiForWindow(window_)) return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

void WindowSite::Size(double widthTwips, double heightTwips) {
    auto pixels = [&](double twips, bool horizontal) {
        return static_cast<int>(std::lround(std::clamp(twips, 0.0, 1e9) * DotsPerInch(horizontal) / 1440.0));
    };
    // WM_SIZE hands the new size to the control.
    SetWindowPos(window_, nullptr, 0, 0, pixels(widthTwips, true), pixels(heightTwips, false),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double WindowSite::ScaleX(double value, int32_t fromScale, int32_t toScale) const {
    return ConvertScaleUnits(value, fromScale, toScale, DotsPerInch(true), vbPixels, true);
}

double WindowSite::ScaleY(double value, int32_t fromScale, int32_t toScale) const {
    return ConvertScaleUnits(value, fromScale, toScale, DotsPerInch(false), vbPixels, false);
}

void WindowSite::SetEnabled(bool enabled) {
    enabled_ = enabled;
    EnableWindow(window_, enabled);  // already so when the window told the control
}

ICrossComm* WindowSite::FirstControlOfType(const std::string& typeName) const {
    return typeName == aicAlphaImage::kTypeName ? control_ : nullptr;
}

}  // namespace mendlow
