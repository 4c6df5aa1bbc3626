// The bridge to GDI+: probe, load any format it reads, save PNG, and draw
// with scaling, mirroring, rotation, opacity, grey-scale and lightness.
// Keeps nothing between calls; a token of 0 means "start GDI+ for this call".
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class c32bppDIB;

class cGDIPlus {
public:
    // Whether GDI+ starts; with KeepToken the caller keeps it running.
    bool isGDIplusOk(uintptr_t& gdiToken, bool KeepToken);

    // The image, upright, as PNG: into the file when FileName is not empty,
    // else into outStream.
    bool SaveToPNG(const std::wstring& FileName, std::vector<uint8_t>& outStream, const c32bppDIB& cHost,
                   uintptr_t GlobalToken);

    // Starts GDI+ into token (0 on failure), or shuts the given token down.
    bool StartOrStopGDIplus(uintptr_t& token, bool shutDown);

    // Decodes the file, or all of inBytes when FileName is empty, into dib
    // (ImageType imgPNG, Alpha from the alpha analysis).
    bool LoadThroughGDIplus(const std::wstring& FileName, std::span<const uint8_t> inBytes, c32bppDIB& dib,
                            uintptr_t token);

    // Draws dib onto hDC. Negative destination sizes mirror; Opacity 0..100;
    // grayScale -1 for none; the source rectangle is on the upright image.
    bool DrawThroughGDIplus(const c32bppDIB& dib, HDC hDC, float Angle, int32_t Opacity, int32_t destX,
                            int32_t destY, int32_t destWidth, int32_t destHeight, int32_t SrcX, int32_t SrcY,
                            int32_t srcWidth, int32_t srcHeight, bool HighQuality, int32_t grayScale, uintptr_t token,
                            float LightAdjustment);

    // The same as SaveToPNG for any encoder GDI+ has, by MIME type.
    bool SaveThroughGDIplus(const wchar_t* mimeType, const std::wstring& FileName, std::vector<uint8_t>& outStream,
                            const c32bppDIB& cHost, uintptr_t GlobalToken);
};
