#include "codecs/gdiplus_availability.h"

namespace gdiplus {

bool CanStart() { return false; }

bool LoadIntoImage(const std::wstring&, std::span<const uint8_t>, c32bppDIB&, uintptr_t) { return false; }

bool SaveImageAsPng(const c32bppDIB&, std::vector<uint8_t>&, uintptr_t) { return false; }

}  // namespace gdiplus
