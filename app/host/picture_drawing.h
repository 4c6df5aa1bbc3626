// Drawing picture objects (bitmaps and icons with a HIMETRIC size) onto
// buttons: as they are, with one colour left out, or embossed as disabled.
#pragma once

#include <windows.h>
#include <ocidl.h>

namespace host {

// True when the picture holds an image (its handle is not 0).
bool HoldsImage(IPicture* picture);
// The first picture when it holds an image, else the second (which may be null).
IPicture* ChoosePicture(IPicture* first, IPicture* second);

// The picture's size in pixels at the screen's resolution.
SIZE PicturePixelSize(IPicture* picture);
// Where a picture goes when centred in area.
POINT CentredPicturePosition(IPicture* picture, const RECT& area);

// The picture renders itself at its natural orientation (the HIMETRIC source
// runs bottom-up), scaled to width x height.
void RenderPicture(IPicture* picture, HDC dc, int x, int y, int width, int height);

// Draws the source part (sourceWidth and sourceHeight 0: the destination
// size) leaving out every pixel of the transparent colour. An icon is first
// drawn over that colour, so its own transparent parts drop out too.
// These three answer false when drawing failed (an empty picture or size
// draws nothing and is no failure).
bool DrawTransparentPicture(IPicture* picture, HDC dc, int x, int y, int width, int height,
                            COLORREF transparentColor, int sourceX, int sourceY, int sourceWidth, int sourceHeight);

// The picture without its transparent colour, over white, embossed the way
// disabled pictures look.
bool DrawDisabledPicture(IPicture* picture, HDC dc, int x, int y, int width, int height, COLORREF transparentColor);

// Fills x, y, x + width, y + height with a solid colour.
bool FillColor(HDC dc, int x, int y, int width, int height, COLORREF color);

}  // namespace host
