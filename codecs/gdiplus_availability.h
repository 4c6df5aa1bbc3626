// Whether the GDI+ bridge may be used at all in this process.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class c32bppDIB;

namespace gdiplus {

// Makes GDI+ count as absent for the whole process (tests, command-line
// switches): every bridge operation then reports false without touching it.
void SetDisabled(bool disabled);
bool IsDisabled();

// Whether GDI+ is installed and starts; natively there is none.
bool CanStart();

// Decodes the file, or the bytes when fileName is empty, into the image
// through GDI+ (imgPNG, alpha as analysed). Natively always false.
bool LoadIntoImage(const std::wstring& fileName, std::span<const uint8_t> bytes, c32bppDIB& image, uintptr_t token);

// The image as PNG bytes made by GDI+. Natively always false.
bool SaveImageAsPng(const c32bppDIB& image, std::vector<uint8_t>& png, uintptr_t token);

}  // namespace gdiplus
