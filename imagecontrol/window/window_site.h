// What one MendlowAlphaImage window offers the image control it hosts: its
// own window as the container, its client size, the display's dots per
// inch, and a store for the values the control keeps.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "imagecontrol/control_site.h"

namespace mendlow {

class WindowSite final : public ControlSite {
public:
    explicit WindowSite(HWND window) : window_(window) {}

    const PropertyValue* ReadProperty(const std::string& key) const override;
    void WriteProperty(const std::string& key, PropertyValue value, const PropertyValue& defaultValue) override;
    void PropertyChanged(const std::string&) override {}
    bool UserMode() const override { return true; }
    // Events report client pixels.
    bool ParentScaleMode(int32_t& scaleMode) const override { return scaleMode = vbPixels, true; }
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void Size(double widthTwips, double heightTwips) override;
    double ScaleX(double value, int32_t fromScale, int32_t toScale) const override;
    double ScaleY(double value, int32_t fromScale, int32_t toScale) const override;
    void Refresh() override { InvalidateRect(window_, nullptr, FALSE); }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override;
    // The window's own cursor, no drops: only the defaults are taken.
    int16_t MousePointer() const override { return 0; }
    bool SetMousePointer(int16_t pointer) override { return pointer == 0; }
    const Bytes& MouseIcon() const override { return noIcon_; }
    bool SetMouseIcon(const Bytes& icon) override { return icon.empty(); }
    int16_t OLEDropMode() const override { return 0; }
    bool SetOLEDropMode(int16_t mode) override { return mode == 0; }
    const std::string& Tag() const override { return tag_; }
    void SetTag(const std::string& tag) override { tag_ = tag; }
    uintptr_t ContainerWindow() const override { return reinterpret_cast<uintptr_t>(window_); }
    // Each window is a form of its own: its control is the first of its kind.
    ICrossComm* FirstControlOfType(const std::string& typeName) const override;

    void SetControl(ICrossComm* control) { control_ = control; }
    // The DPI of the window's monitor (the system's before Windows 10 1607).
    int DotsPerInch(bool horizontal) const;

private:

    HWND window_;
    ICrossComm* control_ = nullptr;
    std::vector<std::pair<std::string, PropertyValue>> stored_;
    bool enabled_ = true;
    const Bytes noIcon_;
    std::string tag_;
};

}  // namespace mendlow
