// The one image object: a 32-bit, bottom-up, premultiplied-alpha pixel
// buffer with what is known about it, optionally the bytes of the file it
// came from, and (on Windows) a memory device context to draw it with.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "imagecore/image_types.h"
#include "imagecore/pixel_grid.h"
#include "imagecore/pixel_storage.h"
#include "imagecore/pixel_view.h"

#ifdef _WIN32
#include <objidl.h>
#include <ocidl.h>

#include <variant>

#include "imagecore/win32/own_dc.h"
#endif

class FileReader;

class c32bppDIB {
public:
#ifdef _WIN32
    using DrawingDc = HDC;
#else
    using DrawingDc = void*;  // no device contexts natively: draw into a host image
#endif

    c32bppDIB();
    ~c32bppDIB();
    c32bppDIB(const c32bppDIB&) = delete;
    c32bppDIB& operator=(const c32bppDIB&) = delete;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint8_t* BitsPointer() const { return storage_.Bits(); }
    int32_t scanWidth() const { return width_ * 4; }  // cannot overflow: the buffer's size did not
    uintptr_t Handle() const { return storage_.Handle(); }
    PixelView Pixels() const { return {storage_.Bits(), width_, height_}; }

    bool Alpha() const { return alpha_; }
    void SetAlpha(bool alpha) { alpha_ = alpha; }
    int32_t ImageType() const { return imageType_; }
    void SetImageType(int32_t imageType) { imageType_ = imageType; }
    bool HighQualityInterpolation() const { return highQualityInterpolation_; }
    void SetHighQualityInterpolation(bool value) { highQualityInterpolation_ = value; }
    uintptr_t gdiToken() const { return gdiToken_; }
    void SetGdiToken(uintptr_t token) { gdiToken_ = token; }

    bool isAlphaBlendFriendly() const;
    void SetIsAlphaBlendFriendly(bool value);
    bool isGDIplusEnabled() const;
    void SetIsGDIplusEnabled(bool value);
    bool isZlibEnabled() const;
    uint32_t CapabilityBits() const { return capabilities_; }

    // A new blank image (zeros). A negative height is taken as positive;
    // false for a negative width, a zero height, a byte count beyond 2^31 - 1
    // or when the buffer cannot be made.
    bool InitializeDIB(int32_t width, int32_t height);
    void DestroyDIB();
    void EraseDIB();

    // The kept bytes of the source file; true when there are any.
    bool GetOrginalFormat(std::vector<uint8_t>& outStream) const;
    void SetOriginalFormat(std::span<const uint8_t> bytes);

    // Loading: the decoders recognise their formats (PNG, GIF, ICO/CUR, BMP,
    // then GDI+ for anything else). True when the object holds an image.
    // iconCx, iconCy, iconBitDepth choose among the images of an icon file;
    // SaveFormat keeps the source bytes. A file or window shorter than 57
    // bytes is not decoded and leaves the current image as it was.
    bool LoadPicture_File(const std::wstring& FileName, int32_t iconCx = 0, int32_t iconCy = 0, bool SaveFormat = false,
                          int32_t iconBitDepth = 32);
    // streamStart below 0 starts at 0; streamLength 0 means to the end.
    bool LoadPicture_Stream(std::span<const uint8_t> inStream, int32_t iconCx = 0, int32_t iconCy = 0,
                            int64_t streamStart = 0, int64_t streamLength = 0, bool SaveFormat = false,
                            int32_t iconBitDepth = 32);
    // Decodes the kept source bytes again (e.g. at another icon size); they stay kept.
    bool LoadPicture_FromOrignalFormat(int32_t iconCx = 0, int32_t iconCy = 0, int32_t iconBitDepth = 32);

    // Pixel effects and access
    // Picture pixel (x, y), y = 0 at the top, as an OLE colour (0x00BBGGRR);
    // straight colour unless asPreMultiplied. -1 outside the image, and
    // AlphaValue (when given) receives the alpha byte, 0 outside.
    int32_t GetPixel(int32_t x, int32_t y, int32_t* AlphaValue = nullptr, bool asPreMultiplied = false) const;
    // Copies the rectangle (x, y, Width, Height; 0 = to the image's edge, cut
    // at the right and bottom) into outStream in the layout asked for: rows
    // of Width x 4 bytes, or Width x 3 (padded to 4 bytes when asWordAligned).
    // rowBytes receives the length of the array's first dimension: the row
    // size for the 2-D form, the whole length for the 1-D form. False, and
    // outStream untouched, for a rectangle outside the image.
    bool GetDIBbits(std::vector<uint8_t>& outStream, bool as2dArray = false, bool asBGRformat = true,
                    bool as32bpp = true, bool asWordAligned = false, bool asBottomUp = true, int32_t x = 0,
                    int32_t y = 0, int32_t Width = 0, int32_t Height = 0, bool asPreMultiplied = true,
                    int32_t* rowBytes = nullptr) const;
    // Writes rows of that layout into the rectangle, then analyses the alpha
    // of the whole image. inStream must hold the rectangle's rows; 24-bit
    // input keeps the image's alpha bytes.
    bool SetDIBbits(std::span<const uint8_t> inStream, bool isBGRformat = true, bool is32bpp = true,
                    bool isWordAligned = false, bool isBottomUp = true, int32_t dstX = 0, int32_t dstY = 0,
                    int32_t dstWidth = 0, int32_t dstHeight = 0);
    // Inverts the colours of every visible pixel, keeping alpha.
    bool MakeImageInverse();
    // Opaque pixels of TransparentColor become transparent; with Revert,
    // transparent pixels become that colour again.
    bool MakeTransparent(int32_t TransparentColor, bool Revert = false);
    // Fills the image with squares of CheckerSize (at least 1), opaque.
    bool CreateCheckerBoard(int32_t CheckerSize, int32_t FirstColor, int32_t SecondColor);
    // A new image: this image's alpha blurred over a (2 x blurDepth + 1)
    // square window (blurDepth 0 to 10) in Color, 2 x blurDepth larger each
    // way. Nothing when there is no image or the shadow cannot be made.
    std::unique_ptr<c32bppDIB> CreateDropShadow(int32_t blurDepth, int32_t Color) const;
    // Mirrors the image in place along the axes asked for.
    bool MirrorImage(bool MirrorAxisX, bool MirrorAxisY);
    // Draws this image's drop shadow at (x, y), full size, with Opacity.
    bool RenderDropShadow_JIT(DrawingDc hDC, int32_t x, int32_t y, int32_t blurDepth, int32_t Color,
                              int32_t Opacity) const;
    // Copies the image into cDIBclass (made when empty) at newWidth x
    // newHeight (0: the image's; negative: mirrored on that axis), scaled as
    // the image would be drawn; with CopyOriginalFormat the kept bytes too.
    void CopyImageTo(std::unique_ptr<c32bppDIB>& cDIBclass, int32_t newWidth = 0, int32_t newHeight = 0,
                     bool CopyOriginalFormat = false);
#ifdef _WIN32
    // The region of the visible pixels (Style 0 bounding box, 1 row spans,
    // 2 exact), moved by the offsets; empty for another style or no image.
    win32::Region CreateRegion(int32_t Style, int32_t xOffset = 0, int32_t yOffset = 0) const;
#endif

    // Drawing
    // Draws all or part of the image onto destinationDC, or into destHostDIB
    // when one is given. Sizes of 0 mean the image's; a negative size mirrors
    // on that axis. Opacity is a percentage (<= 0 draws nothing; taken modulo
    // 100, where 0 means 100). grayScale -1 keeps the colours, other values
    // pick a grey formula; LightAdjustment -100..100 adds lightness (other
    // values count as 0); Angle turns about the centre of the target.
    // CenterOnDestXY: destX, destY give that centre. True when drawn.
    bool Render(DrawingDc destinationDC, int32_t destX = 0, int32_t destY = 0, int32_t destWidth = 0,
                int32_t destHeight = 0, int32_t SrcX = 0, int32_t SrcY = 0, int32_t srcWidth = 0, int32_t srcHeight = 0,
                int32_t Opacity = 100, bool Blend = true, bool SetHalfTone = true, c32bppDIB* destHostDIB = nullptr,
                int32_t grayScale = -1, float LightAdjustment = 0, float Angle = 0, bool CenterOnDestXY = false);

private:
    // The own engine. Grids hold rectangles cut, scaled or adjusted on the way.
    bool pvMirrorSource(int32_t& SrcX, int32_t& SrcY, int32_t srcWidth, int32_t srcHeight, int32_t& destWidth,
                        int32_t& destHeight, PixelGrid& outGrid, c32bppDIB* destHostDIB, float& LightAdjustment) const;
    // Without image: outGrid adjusted in place; with one: outGrid becomes its adjusted copy.
    bool pvAdjustLightness(const c32bppDIB* image, float LightAdjustment, PixelGrid& outGrid) const;
    bool pvScaleSource(PixelGrid* sourceGrid, c32bppDIB* destHostDIB, int32_t SrcX, int32_t SrcY, int32_t srcWidth,
                       int32_t srcHeight, int32_t destX, int32_t destY, int32_t& destWidth, int32_t& destHeight,
                       float& LightAdjustment, PixelGrid& outGrid) const;
    // scaledGrid: sourceGrid came from scaling (already clipped).
    bool pvBlendToDestination(DrawingDc destinationDC, PixelGrid* sourceGrid, bool scaledGrid, int32_t SrcX,
                              int32_t SrcY, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight,
                              uint32_t opacityLevel, c32bppDIB* destHostDIB, int32_t grayScale,
                              float LightAdjustment) const;
    bool pvRenderRotated(DrawingDc destinationDC, float Angle, int32_t destX, int32_t destY, int32_t destWidth,
                         int32_t destHeight, int32_t SrcX, int32_t SrcY, int32_t srcWidth, int32_t srcHeight,
                         int32_t opacityPercent, c32bppDIB* destHostDIB, int32_t grayScale, float LightAdjustment) const;
#ifdef _WIN32
    bool pvAlphaBlend(HDC target, int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight, int32_t SrcX,
                      int32_t SrcY, int32_t srcWidth, int32_t srcHeight, uint32_t opacityLevel, bool SetHalfTone);
#endif

public:
    // Saving
    // A BMP file: 32 bits with the buffer as stored (premultiplied) when
    // Alpha, else 24 bits. False and outStream empty on failure.
    bool SaveToStream(std::vector<uint8_t>& outStream) const;
    // A PNG file, through GDI+ when it is enabled and works, else the own
    // encoder (which needs zlib).
    bool SaveToStream_PNG(std::vector<uint8_t>& outStream) const;
    // Width, height, bits per pixel and colour code of each image of the icon
    // or cursor file the image came from; the count. 0 (sizeArray untouched)
    // for other image types and kept bytes that are not an icon file.
    using IconSize = std::array<int32_t, 4>;
    int32_t SourceIconSizes(std::vector<IconSize>& sizeArray) const;

#ifdef _WIN32
    // A resource by name or number: custom data when ResSection is a type
    // name, else a picture of kind 0 (bitmap), 1 (icon) or 2 (cursor).
    // VBglobal: the module that holds it; null for the program itself.
    // replaced (optional) says whether the pixels held before were given up:
    // not when the resource is missing, of an unknown kind or too short.
    using ResourceId = std::variant<std::wstring, int32_t>;
    using ResourceSection = std::variant<std::wstring, int16_t>;
    bool LoadPicture_Resource(const ResourceId& ResIndex, const ResourceSection& ResSection, HMODULE VBglobal = nullptr,
                              int32_t iconCx = 0, int32_t iconCy = 0, int64_t streamStart = 0,
                              int64_t streamLength = 0, int32_t iconBitDepth = 32, bool* replaced = nullptr);
    // A bitmap, icon or metafile picture object.
    bool LoadPicture_StdPicture(IPicture* Picture);
    // A bitmap, metafile, enhanced metafile, icon or cursor handle; the
    // caller keeps its handle.
    bool LoadPicture_ByHandle(HANDLE Handle);
    // The clipboard's bitmap or metafile; without one the image stays as it was.
    bool LoadPicture_ClipBoard();
    // Replaces Files with the drop's names in their exact wide form, when the
    // drop carries wide names. False when it carries no file list.
    bool GetDroppedFileNames(IDataObject* OLEDragDrop_DataObject, std::vector<std::wstring>& Files);
    // The file names on the clipboard (copied in a file manager); their count.
    int32_t GetPastedFileNames(std::vector<std::wstring>& ListOfFiles);

    HBITMAP Bitmap() const { return storage_.Bitmap(); }
    // True: the own memory DC with the section selected; false: takes the
    // section out again (and drops the DC unless ManageOwnDC). Returns the DC or 0.
    HDC LoadDIBinDC(bool bLoad);
    bool ManageOwnDC() const { return manageOwnDC_; }
    void SetManageOwnDC(bool value);
#endif

    // Only for tests: starts from given capability bits instead of the system's.
    explicit c32bppDIB(uint32_t capabilityBits);

private:
    bool pvLoadPicture(const FileReader* fileHandle, const std::wstring& FileName, std::span<const uint8_t> inStream,
                       int32_t iconCx, int32_t iconCy, int64_t streamStart, int64_t streamLength, bool SaveFormat,
                       int32_t iconBitDepth);

    PixelStorage storage_;
    bool highQualityInterpolation_ = false;
    int32_t width_ = 0;
    int32_t height_ = 0;
    uint32_t capabilities_ = 0;
    int32_t imageType_ = imgBlank;
    bool alpha_ = false;
    uintptr_t gdiToken_ = 0;
    std::vector<uint8_t> originalFormat_;
#ifdef _WIN32
    OwnDc ownDc_;
    bool manageOwnDC_ = false;
#endif
};
