// A control site for tests: keeps the stored values in memory, records what
// the control asks of it, and resizes the control as a form would.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "codecs/tests/png_builder.h"
#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/live_controls.h"
#include "imagecore/system_capabilities.h"

class RecordingSite : public ControlSite {
public:
    std::vector<std::pair<std::string, PropertyValue>> stored;
    std::vector<std::string> changed;
    bool userMode = true;
    bool hasScaleMode = true;
    int32_t scaleMode = vbTwips;
    double width = 100, height = 100;  // pixels
    double twipsPerPixel = 15;
    int sizeCalls = 0, refreshes = 0;
    aicAlphaImage* control = nullptr;  // receives the resize a Size call causes
    bool enabled = true;
    int16_t pointer = 0, dropMode = 0;
    Bytes icon;
    std::string tag;

    const PropertyValue* ReadProperty(const std::string& key) const override {
        auto found = std::find_if(stored.begin(), stored.end(), [&](const auto& e) { return e.first == key; });
        return found == stored.end() ? nullptr : &found->second;
    }
    void WriteProperty(const std::string& key, PropertyValue value, const PropertyValue& defaultValue) override {
        std::erase_if(stored, [&](const auto& e) { return e.first == key; });
        if (value != defaultValue) stored.emplace_back(key, std::move(value));
    }
    void PropertyChanged(const std::string& name) override { changed.push_back(name); }
    bool UserMode() const override { return userMode; }
    bool ParentScaleMode(int32_t& mode) const override {
        if (hasScaleMode) mode = scaleMode;
        return hasScaleMode;
    }
    double ScaleWidth() const override { return width; }
    double ScaleHeight() const override { return height; }
    void Size(double widthTwips, double heightTwips) override {
        ++sizeCalls;
        width = widthTwips / twipsPerPixel, height = heightTwips / twipsPerPixel;
        if (control) control->Resize();
    }
    double ScaleX(double value, int32_t from, int32_t to) const override { return Convert(value, from, to); }
    double ScaleY(double value, int32_t from, int32_t to) const override { return Convert(value, from, to); }
    void Refresh() override { ++refreshes; }
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool value) override { enabled = value; }
    int16_t MousePointer() const override { return pointer; }
    bool SetMousePointer(int16_t value) override { return pointer = value, true; }
    const Bytes& MouseIcon() const override { return icon; }
    bool SetMouseIcon(const Bytes& value) override { return icon = value, true; }
    int16_t OLEDropMode() const override { return dropMode; }
    bool SetOLEDropMode(int16_t value) override { return dropMode = value, true; }
    const std::string& Tag() const override { return tag; }
    void SetTag(const std::string& value) override { tag = value; }
    uintptr_t ContainerWindow() const override { return window; }
    ICrossComm* FirstControlOfType(const std::string& typeName) const override {
        if (typeName != aicAlphaImage::kTypeName) return nullptr;
        return firstOfType ? firstOfType : control;
    }
    uintptr_t window = 0x1000;
    ICrossComm* firstOfType = nullptr;  // another control of the form, or this one

    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const auto& e : stored) keys.push_back(e.first);
        return keys;
    }

private:
    double Convert(double value, int32_t from, int32_t to) const {
        auto toPixels = [&](int32_t mode) { return mode == vbTwips ? 1 / twipsPerPixel : 1.0; };
        return value * toPixels(from) / toPixels(to);
    }
};

// A window system whose cursor, windows and timers the test sets and fires.
class FakeWindowSystem : public UserInterfaceSystem {
public:
    int32_t cursorX = 0, cursorY = 0;
    uintptr_t windowAtCursor = 0x1000;
    int32_t originX = 0, originY = 0;
    std::map<std::pair<uintptr_t, uintptr_t>, std::pair<uint32_t, uintptr_t>> timers;  // -> (ms, owner)

    bool CursorPosition(int32_t& x, int32_t& y) const override { return x = cursorX, y = cursorY, true; }
    uintptr_t WindowFromPoint(int32_t, int32_t) const override { return windowAtCursor; }
    void ClientOrigin(uintptr_t, int32_t& x, int32_t& y) const override { x = originX, y = originY; }
    void SetTimer(uintptr_t window, uintptr_t id, uint32_t ms, uintptr_t owner) override {
        timers[{window, id}] = {ms, owner};
    }
    void KillTimer(uintptr_t window, uintptr_t id) override { timers.erase({window, id}); }

    // One tick of every running timer, through the window system's routing;
    // a timer whose control is gone is stopped, as there.
    void Tick() {
        auto running = timers;
        for (const auto& [key, value] : running)
            if (!live_controls::RouteTick(value.second, key.first, key.second)) timers.erase(key), ++unrouted;
    }
    int unrouted = 0;
};

// A control on its own site; images without GDI+ (natively there is none).
struct TestControl {
    RecordingSite site;
    FakeWindowSystem system;
    aicAlphaImage control{site, capability::kGdiplusNever, system};
    explicit TestControl(double width = 100, double height = 100, bool userMode = true) {
        site.width = width, site.height = height, site.userMode = userMode;
        site.control = &control;
    }
};

// A surface to paint a control on, cleared to transparent black.
struct Host {
    c32bppDIB image{capability::kGdiplusNever};
    Host(int w, int h) { image.InitializeDIB(w, h); }
    void Paint(aicAlphaImage& control, PixelRect clip) { control.Paint({nullptr, &image}, clip); }
    bool Untouched() const {
        const uint8_t* p = image.BitsPointer();
        return std::all_of(p, p + image.Pixels().PixelCount() * 4, [](uint8_t b) { return b == 0; });
    }
};

// A PNG whose pixels come from colour(x, y) as {r, g, b, a}: RGB when every
// pixel is opaque (the decoder reports alpha for every RGBA file), else RGBA.
template <class Colour>
Bytes MakePng(int width, int height, Colour colour) {
    bool opaque = true;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) opaque = opaque && colour(x, y)[3] == 255;
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            auto [r, g, b, a] = colour(x, y);
            raw.insert(raw.end(), {uint8_t(r), uint8_t(g), uint8_t(b)});
            if (!opaque) raw.push_back(uint8_t(a));
        }
    }
    return test_png::Builder().Header(width, height, 8, opaque ? 2 : 6).Data(raw).End();
}

inline Bytes OpaquePng(int width, int height) {
    return MakePng(width, height, [](int x, int y) { return std::array{x * 7 % 256, y * 5 % 256, 90, 255}; });
}
inline Bytes AlphaPng(int width, int height) {
    return MakePng(width, height, [&](int x, int y) {
        bool inside = x > 0 && y > 0 && x < width - 1 && y < height - 1;
        return std::array{200, 100, 50, inside ? 255 : 0};
    });
}

inline bool Load(aicAlphaImage& control, const Bytes& file) {
    int32_t w = 0, h = 0, depth = 0;
    return control.LoadImage_FromArray(file, w, h, depth);
}
