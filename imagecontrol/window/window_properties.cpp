#include "imagecontrol/window/window_properties.h"

#include <array>
#include <cmath>

#include "imagecontrol/aicAlphaImage.h"
#include "mendlow/alpha_image_window.h"

namespace mendlow {
namespace {

struct PropertyAccess {
    LRESULT (*get)(const aicAlphaImage&);
    void (*set)(aicAlphaImage&, LPARAM);  // null: read only
};

int32_t Int(LPARAM value) { return static_cast<int32_t>(value); }

// In the order of AlphaImageProperty.
constexpr std::array<PropertyAccess, AIP_COUNT> kAccess = {{
    {[](const aicAlphaImage& c) -> LRESULT { return c.ScaleMethod(); },
     [](aicAlphaImage& c, LPARAM v) { if (v >= 0 && v <= 4) c.SetScaleMethod(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.StretchQuality(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetStretchQuality(v != 0); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.AutoSize(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetAutoSize(v != 0); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.RotateEnabled(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetRotateEnabled(v != 0); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.Rotation(); },
     [](aicAlphaImage& c, LPARAM v) { if (v > -360 && v < 360) c.SetRotation(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.Mirror(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetMirror(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.grayScale(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetgrayScale(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return std::lround(c.IntensityOffset()); },
     [](aicAlphaImage& c, LPARAM v) { if (v >= -100 && v <= 100) c.SetIntensityOffset(static_cast<float>(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.Opacity(); },
     [](aicAlphaImage& c, LPARAM v) { if (v >= 0 && v <= 100) c.SetOpacity(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.InversedImage(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetInversedImage(v != 0); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.MaskColor(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetMaskColor(static_cast<uint32_t>(v) & 0xFFFFFF); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.MaskUsed(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetMaskUsed(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.HitTest(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetHitTest(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowEnabled(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetShadowEnabled(v != 0); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowColor(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetShadowColor(static_cast<uint32_t>(v) & 0xFFFFFF); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowOffsetX(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetShadowOffsetX(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowOffsetY(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetShadowOffsetY(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowDepth(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetShadowDepth(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowOpacity(); },
     [](aicAlphaImage& c, LPARAM v) { c.SetShadowOpacity(Int(v)); }},
    {[](const aicAlphaImage& c) -> LRESULT { return c.ImageType(); }, nullptr},
}};

}  // namespace

bool SetWindowProperty(aicAlphaImage& control, WPARAM property, LPARAM value) {
    if (property >= kAccess.size() || !kAccess[property].set) return false;
    kAccess[property].set(control, value);
    return kAccess[property].get(control) == value;
}

LRESULT GetWindowProperty(const aicAlphaImage& control, WPARAM property) {
    return property < kAccess.size() ? kAccess[property].get(control) : 0;
}

}  // namespace mendlow
