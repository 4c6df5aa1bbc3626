// What a graphical button shows: its theme state, which of its pictures,
// and where caption and picture go. Pure arithmetic, shared by the themed
// and the classic drawing.
#pragma once

#include <optional>

namespace app {

// States of the theme's push-button part.
enum class ButtonState { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4, Defaulted = 5 };

// Which picture property a state asks for; a missing one falls back to Picture.
enum class ButtonPicture { Picture, DownPicture, DisabledPicture };

struct ButtonFacts {
    bool enabled = true;
    bool hot = false;      // the mouse is over it
    bool pushed = false;   // held down
    bool focused = false;
    bool isDefault = false;
    bool value = false;    // an option or check box that is set
};

struct ButtonLook {
    ButtonState state;
    ButtonPicture picture;
};

ButtonLook ChooseButtonLook(const ButtonFacts& facts);

// The defaulted look follows the button's own Default only while it has the
// focus or while the focused control has no Default of its own; a push
// button's Default (-1 or 0) is never above 0, so another push button with
// the focus takes the look away.
bool ShowsDefault(bool ownDefault, bool hasFocus, std::optional<int> activeControlDefault);

struct Band {
    int top;
    int bottom;
};

// The caption's band in a content rectangle, given the bottom that measuring
// the text from the content top gave (content top + text height).
Band CaptionBand(int contentBottom, int measuredBottom, bool hasPicture);

// Start of a picture of `size` centred in an area of `extent` from `start`.
int CentredStart(int start, int extent, int size);

// HIMETRIC (hundredths of a millimetre) to pixels: HIMETRIC * (1440 / twips
// per pixel) / 2540.
int HimetricToPixels(int himetric, int twipsPerPixel);

// Half-way values go to the even neighbour, as the form framework rounds.
int RoundToInt(double value);

}  // namespace app
