#include "app/button_look.h"

#include <cmath>

namespace app {

ButtonLook ChooseButtonLook(const ButtonFacts& f) {
    if (!f.enabled) return {ButtonState::Disabled, ButtonPicture::DisabledPicture};
    if (!f.hot || f.pushed) {
        if (f.value || f.pushed) return {ButtonState::Pressed, ButtonPicture::DownPicture};
        if (f.focused || f.isDefault) return {ButtonState::Defaulted, ButtonPicture::Picture};
        return {ButtonState::Normal, ButtonPicture::Picture};
    }
    return {ButtonState::Hot, f.value ? ButtonPicture::DownPicture : ButtonPicture::Picture};
}

bool ShowsDefault(bool ownDefault, bool hasFocus, std::optional<int> activeControlDefault) {
    if (hasFocus || !activeControlDefault) return ownDefault;
    return ownDefault && *activeControlDefault > 0;
}

int RoundToInt(double value) { return static_cast<int>(std::nearbyint(value)); }

Band CaptionBand(int contentBottom, int measuredBottom, bool hasPicture) {
    if (hasPicture) return {contentBottom - measuredBottom + 1, contentBottom};
    int top = RoundToInt((contentBottom - measuredBottom) / 2.0 + 2);
    return {top, top + measuredBottom};
}

int CentredStart(int start, int extent, int size) { return RoundToInt((extent - size) / 2.0 + start); }

int HimetricToPixels(int himetric, int twipsPerPixel) {
    if (twipsPerPixel <= 0) return 0;
    return RoundToInt(static_cast<double>(himetric) * (1440.0 / twipsPerPixel) / 2540.0);
}

}  // namespace app
