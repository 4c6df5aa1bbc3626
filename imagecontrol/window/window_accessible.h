// What screen readers learn of a MendlowAlphaImage window: the system's own
// accessible object for it, with the window text as its name and the role
// of a picture, or of a button when it takes the focus.
#pragma once

#include <windows.h>

namespace mendlow {

// IAccessible's identifier. MinGW's import library hands it out as code,
// not data: spelt out.
inline constexpr IID kIAccessibleId = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The answer to WM_GETOBJECT; 0 when the window's client object is not
// asked for or the system's accessibility library is missing (the caller
// then hands the message to DefWindowProcW).
LRESULT AnswerGetObject(HWND window, WPARAM flags, LPARAM objectId);

}  // namespace mendlow
