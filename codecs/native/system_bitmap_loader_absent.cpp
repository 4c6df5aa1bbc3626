// No system picture loader outside Windows.
#include "codecs/system_bitmap_loader.h"

bool LoadThroughSystemBitmapLoader(std::span<const uint8_t>, c32bppDIB&, int) { return false; }
