// Routines shared by the image object and every codec: alpha analysis,
// regions from alpha, grey-scale weights, byte order, row widths, the zlib
// probe, and on Windows file, library and picture-object helpers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "imagecore/pixel_view.h"

#ifdef _WIN32
#include <ocidl.h>
#include <olectl.h>

#include "common/win32_handles.h"
#endif

class c32bppDIB;

namespace modParsers {

// Decides whether 32-bit pixels carry transparency and whether their colours
// are premultiplied. imageType -1 on entry skips the scan (no alpha). Sets
// imageType to imgBitmap (no alpha), imgBitmapPremultiplied, or
// imgBitmapAlpha; with premultiply, the pixels are made opaque or
// premultiplied accordingly.
void ValidateAlphaChannel(const PixelView& pixels, bool premultiply, bool& hasAlpha, int32_t& imageType);

// What that analysis makes of the alpha bytes of BGRA pixels, without
// changing them: none, all 0 or all 255 (ignored: the pixels are opaque);
// colours never above their alpha and black under transparency (taken as
// premultiplied); else straight.
enum class AlphaUse { Ignored, Premultiplied, Straight };
AlphaUse ClassifyAlpha(std::span<const uint8_t> bgra);

// One rectangle of a region, in picture coordinates (row 0 at the top).
struct RegionRect {
    int32_t left, top, right, bottom;
    bool operator==(const RegionRect&) const = default;
};

// The rectangles of a region covering the pixels whose alpha is not 0, rows
// in memory order. Style 0: the bounding box; 1: one span per row; 2: every
// run. Without alpha the whole image is one rectangle. Empty: no region.
std::vector<RegionRect> ShapedRegionRects(const PixelView& pixels, bool hasAlpha, int style);

struct GrayScaleWeights {
    float red, green, blue;
};
GrayScaleWeights GetGrayScaleWeights(int formula);

uint32_t SwapEndian32(uint32_t value);

// Row length in bytes of a bitmap padded to 4 bytes; nothing on overflow.
std::optional<int32_t> AlignedScanWidth(int bitsPerPixel, int32_t width);

// The zlib probe. dllName/whichDll: the library found ("zlib1.dll" 2,
// "zlib.dll" 1, none 0); isCdecl is set only when presenceOnly is false;
// hasCompress2 belongs to the library finally chosen. Nothing stays loaded.
bool ZlibAvailable(std::string& dllName, int32_t& whichDll, bool& isCdecl, bool& hasCompress2, bool presenceOnly);

// Makes zlib count as absent for the whole process (tests, command-line switches).
void SetZlibDisabled(bool disabled);
bool IsZlibDisabled();

#ifdef _WIN32
// The region of an image's visible pixels; the caller owns it.
win32::Region CreateShapedRegion(const c32bppDIB& host, int style);

// Libraries that ship with the program (zlib) are taken from its folder,
// or the folder set here (with a trailing separator; empty: the program's),
// then from the system folder; never from the current folder or PATH.
void SetShippedLibraryFolder(std::wstring folder);
win32::Library LoadShippedLibrary(const std::string& name);

// Whether the system library (taken from the system folder only) exports the function.
bool DllHasFunction(const char* libraryName, const char* functionName);

// Opens a file for reading (shared for reading) or for writing (replaced,
// keeping its attributes). An empty handle on failure.
win32::Handle GetFileHandle(const std::wstring& fileName, bool forReading);
// Clears the file's attributes, then deletes it.
bool DeleteFileForced(const std::wstring& fileName);

// Picture objects of the system picture loader.
win32::ComPtr<IPicture> ArrayToPicture(std::span<const uint8_t> bytes);
win32::ComPtr<IPicture> HandleToPicture(HANDLE handle, short pictureType);
#endif

}  // namespace modParsers
