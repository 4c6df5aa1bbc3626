#include "imagecore/c32bppDIB.h"

#include <algorithm>
#include <limits>
#include <string>

#include "codecs/gdiplus_availability.h"
#include "codecs/modParsers.h"
#include "imagecore/system_capabilities.h"

using namespace capability;

c32bppDIB::c32bppDIB() : c32bppDIB(ProbeSystemCapabilities()) {}

c32bppDIB::c32bppDIB(uint32_t capabilityBits) : capabilities_(capabilityBits & ~kGdiplusEnabled) {
    SetIsGDIplusEnabled(true);
    if (isGDIplusEnabled()) highQualityInterpolation_ = true;
}

c32bppDIB::~c32bppDIB() { DestroyDIB(); }

bool c32bppDIB::isAlphaBlendFriendly() const { return (capabilities_ & kAlphaBlendForPlainDrawing) != 0; }

void c32bppDIB::SetIsAlphaBlendFriendly(bool value) {
    if (!value)
        capabilities_ &= ~kAlphaBlendForPlainDrawing;
    else if (capabilities_ & kAlphaBlendAllowed)
        capabilities_ |= kAlphaBlendForPlainDrawing;
}

bool c32bppDIB::isGDIplusEnabled() const { return (capabilities_ & kGdiplusEnabled) != 0; }

void c32bppDIB::SetIsGDIplusEnabled(bool value) {
    if (value == isGDIplusEnabled()) return;
    capabilities_ &= ~kGdiplusEnabled;
    if (value && !(capabilities_ & kGdiplusNever) && gdiplus::CanStart()) capabilities_ |= kGdiplusEnabled;
}

bool c32bppDIB::isZlibEnabled() const {
    std::string dllName;
    int32_t whichDll = 0;
    bool isCdecl = false, hasCompress2 = false;
    return modParsers::ZlibAvailable(dllName, whichDll, isCdecl, hasCompress2, true);
}

bool c32bppDIB::InitializeDIB(int32_t width, int32_t height) {
    DestroyDIB();
    if (width < 0 || height == 0) return false;
    if (height < 0) {
        if (height == std::numeric_limits<int32_t>::min()) return false;
        height = -height;
    }
    if (width > 0 && height > std::numeric_limits<int32_t>::max() / 4 / width) return false;  // bytes overflow
    bool created = storage_.Create(width, height);
#ifdef _WIN32
    if (manageOwnDC_ && !ownDc_.Exists()) ownDc_.Create();
#endif
    if (!created) return false;
    width_ = width;
    height_ = height;
    alpha_ = true;
    imageType_ = imgBlank;
    return true;
}

void c32bppDIB::DestroyDIB() {
#ifdef _WIN32
    ownDc_.Delete();
#endif
    if (storage_.Handle() != 0) {
        storage_.Release();
        std::vector<uint8_t>().swap(originalFormat_);
    }
    width_ = 0;
    height_ = 0;
    alpha_ = false;
    imageType_ = imgNone;
}

void c32bppDIB::EraseDIB() {
    if (storage_.Handle() == 0) return;
    std::fill_n(storage_.Bits(), static_cast<size_t>(width_) * height_ * 4, uint8_t{0});
    imageType_ = imgBlank;
    alpha_ = true;
}

bool c32bppDIB::GetOrginalFormat(std::vector<uint8_t>& outStream) const {
    outStream = originalFormat_;
    return !outStream.empty();
}

void c32bppDIB::SetOriginalFormat(std::span<const uint8_t> bytes) { originalFormat_.assign(bytes.begin(), bytes.end()); }

#ifdef _WIN32
HDC c32bppDIB::LoadDIBinDC(bool bLoad) {
    if (bLoad) {
        if (storage_.Handle() == 0) return nullptr;
        ownDc_.Create();
        ownDc_.Select(storage_.Bitmap());
        return ownDc_.Get();
    }
    ownDc_.Deselect();
    if (!manageOwnDC_) ownDc_.Delete();
    return nullptr;
}

void c32bppDIB::SetManageOwnDC(bool value) {
    if (!value)
        ownDc_.Delete();
    else if (!ownDc_.Exists() && storage_.Handle() != 0)
        ownDc_.Create();
    manageOwnDC_ = value;
}
#endif
