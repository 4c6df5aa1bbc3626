// Turns system pictures into 32-bit images: picture objects (bitmaps,
// metafiles) and bitmap, icon and cursor handles.
#pragma once

#include <windows.h>
#include <ocidl.h>

class c32bppDIB;

namespace picture_convert {

// A picture object when stdPic is set, else the bitmap handle. bitCount is
// the depth the caller knows of, or 0. Metafiles get a transparent
// background wherever they did not draw.
bool PictureOrBitmapTo32bpp(IPicture* stdPic, HBITMAP Handle, c32bppDIB& cHost, int bitCount);

// An icon or cursor handle: alpha from a 32-bit colour bitmap, else from the mask.
bool IconTo32bpp(HICON Handle, c32bppDIB& cHost);

}  // namespace picture_convert
