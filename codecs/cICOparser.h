// ICO and CUR decoder: reads the directory of an icon or cursor file,
// chooses the image that best fits a wanted size and depth, and decodes it:
// PNG images through the PNG decoder, bitmaps here with transparency from
// their alpha bytes (32 bits) or their AND mask (other depths).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "codecs/ico_directory.h"

class c32bppDIB;

class cICOparser {
public:
    // The file occupies streamLength bytes of inStream from streamOffset (0:
    // to the end). True when it is a valid icon or cursor directory, whether
    // or not an image was decoded; a PNG image the PNG decoder rejects gives
    // its answer instead. With cHost, the image chosen for desiredWidth x
    // desiredHeight (below 1: 32) and icoBitDepth is decoded into it; a
    // directory with nothing to choose leaves the host as it was. The
    // caller's bytes are never changed.
    bool LoadStream(std::span<const uint8_t> inStream, int32_t desiredWidth, int32_t desiredHeight, c32bppDIB* cHost,
                    int64_t streamOffset, int64_t streamLength, int32_t icoBitDepth, uintptr_t GlobalToken);

    // The directory read by the last LoadStream (empty when it was not
    // valid), indexed from 1; an index outside it gives 0 or false.
    int32_t IconCount() const { return static_cast<int32_t>(entries_.size()); }
    int32_t Width(int32_t Index) const;
    int32_t Height(int32_t Index) const;
    int32_t bitDepth(int32_t Index) const;
    bool IsIconPNG(int32_t Index) const;
    int32_t ColorCount(int32_t Index) const;
    int64_t ColorByteOffset(int32_t Index) const;
    bool IsCursor() const { return type_ == ico::kCursor; }
    // The entry chosen by the last LoadStream with a host, from 1; 0 for none.
    int32_t ChosenIndex() const { return chosen_; }

#ifdef _WIN32
    // An icon or cursor handle: alpha from a 32-bit colour bitmap, else from the mask.
    bool ConvertstdPicTo32bpp(HICON Handle, c32bppDIB& cHost);
#endif

private:
    const ico::Entry* At(int32_t Index) const;

    std::vector<ico::Entry> entries_;
    uint16_t type_ = ico::kIcon;
    int32_t chosen_ = 0;
};
