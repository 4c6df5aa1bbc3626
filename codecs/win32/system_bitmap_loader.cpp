// Bitmaps through the system picture loader.
#include "codecs/system_bitmap_loader.h"

bool LoadThroughSystemBitmapLoader(std::span<const uint8_t>, c32bppDIB&, int) { return false; }
