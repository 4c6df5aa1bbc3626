#include "imagecontrol/window/window_properties.h"

#include <array>
#include <cmath>

#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/system_color.h"
#include "imagecore/image_types.h"
#include "mendlow/alpha_image_window.h"

namespace mendlow {
namespace {

// The public kinds are the image library's own numbers.
constexpr bool Same(AlphaImageType kind, ImageTypes type) { return static_cast<int>(kind) == static_cast<int>(type); }
static_assert(Same(AIT_BITMAP, imgBitmap) && Same(AIT_METAFILE, imgMetafile) && Same(AIT_ICON, imgIcon) &&
              Same(AIT_ENHMETAFILE, imgEnhMetafile) && Same(AIT_CURSOR, imgCursor) &&
              Same(AIT_BITMAPALPHA, imgBitmapAlpha) && Same(AIT_BITMAPPREMULTIPLIED, imgBitmapPremultiplied) &&
              Same(AIT_ICONALPHA, imgIconAlpha) && Same(AIT_GIF, imgGIF) && Same(AIT_PNG, imgPNG) &&
              Same(AIT_ICONPNG, imgIconPNG) && Same(AIT_CURSORALPHA, imgCursorAlpha));

struct PropertyAccess {
    LRESULT (*get)(const aicAlphaImage&) = nullptr;
    void (*set)(aicAlphaImage&, LPARAM) = nullptr;  // null: read only
    // Refused outside, before the setter narrows the value.
    LPARAM min = 0, max = 0;
};

int32_t Int(LPARAM value) { return static_cast<int32_t>(value); }

constexpr LPARAM kLastColour = 0xFFFFFF;

constexpr PropertyAccess OnOff(LRESULT (*get)(const aicAlphaImage&), void (*set)(aicAlphaImage&, LPARAM)) {
    return {get, set, 0, 1};
}

// A switch without a default: a property without its row leaves Row empty,
// which the static_assert below turns into a compile error.
constexpr PropertyAccess Row(AlphaImageProperty property) {
    switch (property) {
        case AIP_FITMODE:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.ScaleMethod(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetScaleMethod(Int(v)); }, 0, 4};
        case AIP_STRETCHQUALITY:
            return OnOff([](const aicAlphaImage& c) -> LRESULT { return c.StretchQuality(); },
                        [](aicAlphaImage& c, LPARAM v) { c.SetStretchQuality(v != 0); });
        case AIP_AUTOSIZE:
            return OnOff([](const aicAlphaImage& c) -> LRESULT { return c.AutoSize(); },
                        [](aicAlphaImage& c, LPARAM v) { c.SetAutoSize(v != 0); });
        case AIP_ROTATEENABLED:
            return OnOff([](const aicAlphaImage& c) -> LRESULT { return c.RotateEnabled(); },
                        [](aicAlphaImage& c, LPARAM v) { c.SetRotateEnabled(v != 0); });
        case AIP_ROTATION:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.Rotation(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetRotation(Int(v)); }, -359, 359};
        case AIP_MIRROR:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.Mirror(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetMirror(Int(v)); }, 0, 3};
        case AIP_GRAYSCALE:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.grayScale(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetgrayScale(Int(v)); }, 0, 8};
        case AIP_LIGHTNESS:
            return {[](const aicAlphaImage& c) -> LRESULT { return std::lround(c.IntensityOffset()); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetIntensityOffset(static_cast<float>(v)); }, -100, 100};
        case AIP_OPACITY:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.Opacity(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetOpacity(Int(v)); }, 0, 100};
        case AIP_INVERSED:
            return OnOff([](const aicAlphaImage& c) -> LRESULT { return c.InversedImage(); },
                        [](aicAlphaImage& c, LPARAM v) { c.SetInversedImage(v != 0); });
        case AIP_MASKCOLOR:
            // The default names a system colour: callers see what it is now.
            return {[](const aicAlphaImage& c) -> LRESULT { return TranslateOleColor(c.MaskColor()); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetMaskColor(static_cast<uint32_t>(v)); }, 0, kLastColour};
        case AIP_MASKUSED:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.MaskUsed(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetMaskUsed(Int(v)); }, 0, 5};
        case AIP_HITTEST:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.HitTest(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetHitTest(Int(v)); }, 0, 3};
        case AIP_SHADOWENABLED:
            return OnOff([](const aicAlphaImage& c) -> LRESULT { return c.ShadowEnabled(); },
                        [](aicAlphaImage& c, LPARAM v) { c.SetShadowEnabled(v != 0); });
        case AIP_SHADOWCOLOR:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowColor(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetShadowColor(static_cast<uint32_t>(v)); }, 0, kLastColour};
        case AIP_SHADOWOFFSETX:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowOffsetX(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetShadowOffsetX(Int(v)); }, -32768, 32767};
        case AIP_SHADOWOFFSETY:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowOffsetY(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetShadowOffsetY(Int(v)); }, -32768, 32767};
        case AIP_SHADOWDEPTH:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowDepth(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetShadowDepth(Int(v)); }, 0, 10};
        case AIP_SHADOWOPACITY:
            return {[](const aicAlphaImage& c) -> LRESULT { return c.ShadowOpacity(); },
                    [](aicAlphaImage& c, LPARAM v) { c.SetShadowOpacity(Int(v)); }, 0, 100};
        case AIP_IMAGETYPE:
            // The kind of the picture as it was read, not the format it would be saved in.
            return {[](const aicAlphaImage& c) -> LRESULT {
                const int32_t type = c.pvGetImageObject().ImageType();
                return type == imgNone || type == imgBlank || type == imgCheckerBoard ? AIT_NONE : type;
            }};
        case AIP_COUNT: break;
    }
    return {};
}

constexpr bool EveryPropertyHasItsRow() {
    for (WPARAM property = 0; property < AIP_COUNT; ++property)
        if (Row(static_cast<AlphaImageProperty>(property)).get == nullptr) return false;
    return true;
}
static_assert(EveryPropertyHasItsRow(), "a property lacks its row in Row()");

constexpr auto kAccess = [] {
    std::array<PropertyAccess, AIP_COUNT> access{};
    for (WPARAM property = 0; property < AIP_COUNT; ++property)
        access[property] = Row(static_cast<AlphaImageProperty>(property));
    return access;
}();

}  // namespace

bool SetWindowProperty(aicAlphaImage& control, WPARAM property, LPARAM value) {
    if (property >= kAccess.size() || !kAccess[property].set) return false;
    const PropertyAccess& access = kAccess[property];
    if (value < access.min || value > access.max) return false;
    access.set(control, value);
    return access.get(control) == value;
}

LRESULT GetWindowProperty(const aicAlphaImage& control, WPARAM property) {
    return property < kAccess.size() ? kAccess[property].get(control) : 0;
}

}  // namespace mendlow
