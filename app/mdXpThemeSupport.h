// Makes frames and graphical buttons take the system's visual styles when
// version 6 of the common controls is in use: initialises the common
// controls once, subclasses a form's frames and graphical buttons, and draws
// those buttons with the theme's push-button part.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <vector>

#include "app/host/buttons.h"

namespace mdXpThemeSupport {

// Once per process, before the first window.
bool InitVisualStyles();  // false when an earlier call already did it
bool VisualStylesInitialised();
// Common controls of version 6 or later serve this process.
bool IsComCtl6Loaded();
// Subclasses the frames and the Style 1 buttons, option buttons and check
// boxes; false (and nothing subclassed) without common controls 6.
bool FixThemeSupport(const std::vector<std::unique_ptr<host::Control>>& controls);

// The subclass procedures and drawing routines, visible for tests.
LRESULT CALLBACK pvRedirectFrame(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR refData);
// refData is the button's control object, which lives as long as its window.
LRESULT CALLBACK pvRedirectButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR refData);
void pvDrawButton(HWND window, HDC dc, const host::ButtonControl& button);
void pvDrawTransparentPicture(IPicture* picture, HDC dc, int x, int y, int width, int height,
                              COLORREF transparentColor, int sourceX, int sourceY, int sourceWidth, int sourceHeight);
void pvDrawDisabledPicture(IPicture* picture, HDC dc, int x, int y, int width, int height, COLORREF transparentColor);
void pvDrawRect(HDC dc, int x, int y, int width, int height, COLORREF color);
bool pvIsThemed();
void pvInvalidateButton(HWND window);
IPicture* pvChoosePicture(IPicture* first, IPicture* second);
// Takes the failing routine's name; the error is fetched and dropped, not
// shown. The count and the last name are kept for diagnosis (and tests).
void pvReportError(const char* routine);
size_t ReportedErrorCount();
const char* LastReportedRoutine();

}  // namespace mdXpThemeSupport
