// The one image object: a 32-bit, bottom-up, premultiplied-alpha pixel
// buffer with what is known about it, optionally the bytes of the file it
// came from, and (on Windows) a memory device context to draw it with.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imagecore/image_types.h"
#include "imagecore/pixel_storage.h"
#include "imagecore/pixel_view.h"

#ifdef _WIN32
#include "imagecore/win32/own_dc.h"
#endif

class c32bppDIB {
public:
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
    uint32_t gdiToken() const { return gdiToken_; }
    void SetGdiToken(uint32_t token) { gdiToken_ = token; }

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

#ifdef _WIN32
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
    PixelStorage storage_;
    bool highQualityInterpolation_ = false;
    int32_t width_ = 0;
    int32_t height_ = 0;
    uint32_t capabilities_ = 0;
    int32_t imageType_ = imgBlank;
    bool alpha_ = false;
    uint32_t gdiToken_ = 0;
    std::vector<uint8_t> originalFormat_;
#ifdef _WIN32
    OwnDc ownDc_;
    bool manageOwnDC_ = false;
#endif
};
