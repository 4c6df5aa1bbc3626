// The part of GDI+'s flat interface the bridge uses, bound at run time from
// "gdiplus.dll" so that the program runs without it.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>

namespace gdiplus {

using Status = int;  // 0 is Ok
inline constexpr Status kOk = 0;
struct Image;  // also a bitmap
struct Graphics;
struct ImageAttributes;

struct StartupInput {
    UINT32 version = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};

struct RectF {
    float x, y, width, height;
};

struct ImageCodecInfo {  // 76 bytes on 32-bit Windows
    CLSID clsid;
    GUID formatId;
    const WCHAR* codecName;
    const WCHAR* dllName;
    const WCHAR* formatDescription;
    const WCHAR* filenameExtension;
    const WCHAR* mimeType;
    DWORD flags, version, sigCount, sigSize;
    const BYTE* sigPattern;
    const BYTE* sigMask;
};

inline constexpr int kPixelFormat32bppPARGB = 0xE200B;
inline constexpr int kUnitPixel = 2;
inline constexpr int kMatrixOrderPrepend = 0;
inline constexpr int kMatrixOrderAppend = 1;
inline constexpr int kColorAdjustTypeBitmap = 1;
inline constexpr int kInterpolationNearestNeighbor = 5;
inline constexpr int kInterpolationHighQualityBicubic = 7;
inline constexpr int kRotateNoneFlipY = 6;

struct Flat {
    Status(WINAPI* Startup)(ULONG_PTR*, const StartupInput*, void*);
    void(WINAPI* Shutdown)(ULONG_PTR);
    Status(WINAPI* CreateBitmapFromScan0)(INT, INT, INT, INT, BYTE*, Image**);
    Status(WINAPI* ImageRotateFlip)(Image*, INT);
    Status(WINAPI* GetImageEncodersSize)(UINT*, UINT*);
    Status(WINAPI* GetImageEncoders)(UINT, UINT, ImageCodecInfo*);
    Status(WINAPI* SaveImageToFile)(Image*, const WCHAR*, const CLSID*, const void*);
    Status(WINAPI* SaveImageToStream)(Image*, IStream*, const CLSID*, const void*);
    Status(WINAPI* LoadImageFromFile)(const WCHAR*, Image**);
    Status(WINAPI* LoadImageFromStream)(IStream*, Image**);
    Status(WINAPI* GetImageBounds)(Image*, RectF*, INT*);
    Status(WINAPI* CreateFromHDC)(HDC, Graphics**);
    Status(WINAPI* SetInterpolationMode)(Graphics*, INT);
    Status(WINAPI* CreateImageAttributes)(ImageAttributes**);
    Status(WINAPI* SetImageAttributesColorMatrix)(ImageAttributes*, INT, BOOL, const float*, const float*, INT);
    Status(WINAPI* DisposeImageAttributes)(ImageAttributes*);
    Status(WINAPI* RotateWorldTransform)(Graphics*, float, INT);
    Status(WINAPI* TranslateWorldTransform)(Graphics*, float, float, INT);
    Status(WINAPI* DrawImageRectRectI)(Graphics*, Image*, INT, INT, INT, INT, INT, INT, INT, INT, INT,
                                       const ImageAttributes*, void*, void*);
    Status(WINAPI* DeleteGraphics)(Graphics*);
    Status(WINAPI* DisposeImage)(Image*);
};

// The bound functions, or nothing when GDI+ is switched off, missing, or
// lacks any of them. Loaded once and kept for the life of the process.
const Flat* LoadFlat();

}  // namespace gdiplus
