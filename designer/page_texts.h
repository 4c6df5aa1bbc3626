// Fixed texts and placement of the source image page.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace designer {

// "W x H - " and the format text of the image type ("PNG file" and so on;
// nothing for types without one).
std::string FormatDescription(int32_t width, int32_t height, int32_t imageType, bool hasAlpha);

// True when the bytes start as a JPEG file does. GDI+ reports every image it
// decodes as PNG; a JPEG source is still described as what it is.
bool StartsLikeJpeg(std::span<const uint8_t> bytes);

// The open-file dialog's filter list: description and pattern pairs, each
// ended by a null, the list by another; the TIFF entries only with GDI+.
std::wstring OpenFileFilter(bool gdiplusEnabled);

// Where a preview of previewSize starts when centred in a frame of
// frameSize from frameStart (the half cut towards zero).
int32_t CentredIn(int32_t frameStart, int32_t frameSize, int32_t previewSize);

}  // namespace designer
