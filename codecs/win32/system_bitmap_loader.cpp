// Bitmaps through the system picture loader.
#include "codecs/system_bitmap_loader.h"

#include "codecs/modParsers.h"
#include "codecs/win32/picture_converters.h"
#include "imagecore/c32bppDIB.h"

bool LoadThroughSystemBitmapLoader(std::span<const uint8_t> bitmap, c32bppDIB& host, int bitsPerPixel) {
    if (host.Handle() != 0) return false;
    win32::ComPtr<IPicture> picture = modParsers::ArrayToPicture(bitmap);
    if (!picture) return false;
    return picture_convert::PictureOrBitmapTo32bpp(picture.get(), nullptr, host, bitsPerPixel);
}
