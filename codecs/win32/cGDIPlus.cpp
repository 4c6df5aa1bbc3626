#include "codecs/win32/cGDIPlus.h"

#include <cmath>
#include <cstring>

#include "codecs/draw_color_matrix.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/modParsers.h"
#include "codecs/win32/gdiplus_flat.h"
#include "imagecore/c32bppDIB.h"

namespace {

using gdiplus::Flat;
using gdiplus::kOk;

// GDI+ for one operation: the caller's running start-up, or one of our own.
class Session {
public:
    explicit Session(uintptr_t token) : flat_(gdiplus::LoadFlat()), token_(token) {
        if (!flat_ || token_ != 0) return;
        gdiplus::StartupInput input;
        ULONG_PTR started = 0;
        if (flat_->Startup(&started, &input, nullptr) == kOk && started != 0) {
            token_ = started;
            local_ = true;
        }
    }
    ~Session() {
        if (local_) flat_->Shutdown(token_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Nothing when GDI+ is absent, switched off or did not start.
    const Flat* operator->() const { return flat_; }
    explicit operator bool() const { return flat_ != nullptr && token_ != 0; }

private:
    const Flat* flat_;
    uintptr_t token_;
    bool local_ = false;
};

// Owns one GDI+ object and disposes of it through the given function.
template <class T, gdiplus::Status(WINAPI* Flat::*Dispose)(T*)>
class Owned {
public:
    explicit Owned(const Flat* flat) : flat_(flat) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }
    void reset() {
        if (object_) (flat_->*Dispose)(object_);
        object_ = nullptr;
    }
    T* get() const { return object_; }
    T** put() { return &object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    const Flat* flat_;
    T* object_ = nullptr;
};

using ImageObject = Owned<gdiplus::Image, &Flat::DisposeImage>;
using GraphicsObject = Owned<gdiplus::Graphics, &Flat::DeleteGraphics>;
using AttributesObject = Owned<gdiplus::ImageAttributes, &Flat::DisposeImageAttributes>;

// A GDI+ bitmap over the image's own buffer, not yet flipped upright.
bool WrapImage(const Session& gdip, const c32bppDIB& dib, ImageObject& bitmap) {
    return gdip->CreateBitmapFromScan0(dib.Width(), dib.Height(), dib.scanWidth(), gdiplus::kPixelFormat32bppPARGB,
                                       dib.BitsPointer(),
                                       bitmap.put()) == kOk && bitmap;
}

bool FindEncoder(const Session& gdip, const wchar_t* mimeType, CLSID& clsid) {
    UINT count = 0, size = 0;
    if (gdip->GetImageEncodersSize(&count, &size) != kOk || size == 0 || count == 0) return false;
    if (size < count * sizeof(gdiplus::ImageCodecInfo)) return false;
    std::vector<uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<gdiplus::ImageCodecInfo*>(buffer.data());
    if (gdip->GetImageEncoders(count, size, codecs) != kOk) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].mimeType && _wcsicmp(codecs[i].mimeType, mimeType) == 0) {
            clsid = codecs[i].clsid;
            return true;
        }
    }
    return false;
}

bool StreamBytes(IStream* stream, std::vector<uint8_t>& out) {
    HGLOBAL memory = nullptr;
    if (FAILED(GetHGlobalFromStream(stream, &memory))) return false;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
    const void* data = GlobalLock(memory);
    if (data == nullptr) return false;
    out.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
    return true;
}

win32::ComPtr<IStream> StreamOver(std::span<const uint8_t> bytes) {
    win32::ComPtr<IStream> stream;
    win32::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!memory) return stream;
    if (!bytes.empty()) {
        void* target = GlobalLock(memory.get());
        if (target == nullptr) return stream;
        std::memcpy(target, bytes.data(), bytes.size());
        GlobalUnlock(memory.get());
    }
    if (SUCCEEDED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()))) memory.release();
    return stream;
}

}  // namespace

namespace gdiplus {

bool CanStart() {
    uintptr_t token = 0;
    return cGDIPlus().isGDIplusOk(token, false);
}

bool LoadIntoImage(const std::wstring& fileName, std::span<const uint8_t> bytes, c32bppDIB& image, uintptr_t token) {
    return cGDIPlus().LoadThroughGDIplus(fileName, bytes, image, token);
}

bool SaveImageAsPng(const c32bppDIB& image, std::vector<uint8_t>& png, uintptr_t token) {
    return cGDIPlus().SaveToPNG(L"", png, image, token);
}

}  // namespace gdiplus

bool cGDIPlus::isGDIplusOk(uintptr_t& gdiToken, bool KeepToken) {
    if (!gdiplus::LoadFlat()) return false;
    bool started = StartOrStopGDIplus(gdiToken, false);
    if (!KeepToken) StartOrStopGDIplus(gdiToken, true);
    return started;
}

bool cGDIPlus::StartOrStopGDIplus(uintptr_t& token, bool shutDown) {
    const Flat* flat = gdiplus::LoadFlat();
    if (shutDown) {
        if (flat && token != 0) flat->Shutdown(token);
        return false;
    }
    token = 0;
    if (!flat) return false;
    gdiplus::StartupInput input;
    ULONG_PTR started = 0;
    if (flat->Startup(&started, &input, nullptr) != kOk) return false;
    token = started;
    return token != 0;
}

bool cGDIPlus::SaveToPNG(const std::wstring& FileName, std::vector<uint8_t>& outStream, const c32bppDIB& cHost,
                         uintptr_t GlobalToken) {
    return SaveThroughGDIplus(L"image/png", FileName, outStream, cHost, GlobalToken);
}

bool cGDIPlus::SaveThroughGDIplus(const wchar_t* mimeType, const std::wstring& FileName,
                                  std::vector<uint8_t>& outStream, const c32bppDIB& cHost, uintptr_t GlobalToken) {
    if (cHost.Handle() == 0) return false;
    Session gdip(GlobalToken);
    if (!gdip) return false;
    ImageObject bitmap(gdip.operator->());
    CLSID encoder{};
    if (!WrapImage(gdip, cHost, bitmap) || !FindEncoder(gdip, mimeType, encoder)) return false;
    if (gdip->ImageRotateFlip(bitmap.get(), gdiplus::kRotateNoneFlipY) != kOk) return false;
    if (!FileName.empty()) return gdip->SaveImageToFile(bitmap.get(), FileName.c_str(), &encoder, nullptr) == kOk;

    outStream.clear();
    win32::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return false;
    if (gdip->SaveImageToStream(bitmap.get(), stream.get(), &encoder, nullptr) != kOk) return false;
    return StreamBytes(stream.get(), outStream);
}

bool cGDIPlus::LoadThroughGDIplus(const std::wstring& FileName, std::span<const uint8_t> inBytes, c32bppDIB& dib,
                                  uintptr_t token) {
    Session gdip(token);
    if (!gdip) return false;
    ImageObject image(gdip.operator->());
    if (!FileName.empty()) {
        if (gdip->LoadImageFromFile(FileName.c_str(), image.put()) != kOk) return false;
    } else {
        win32::ComPtr<IStream> stream = StreamOver(inBytes);
        if (!stream || gdip->LoadImageFromStream(stream.get(), image.put()) != kOk) return false;
    }
    if (!image) return false;

    gdiplus::RectF bounds{};
    INT unit = 0;
    bool drawn = false;
    if (gdip->GetImageBounds(image.get(), &bounds, &unit) == kOk) {
        // Nearest whole number, halves to the even one.
        int32_t width = static_cast<int32_t>(std::nearbyint(bounds.width));
        int32_t height = static_cast<int32_t>(std::nearbyint(bounds.height));
        if (dib.InitializeDIB(width, height)) {
            HDC dc = dib.LoadDIBinDC(true);
            GraphicsObject graphics(gdip.operator->());
            if (dc && gdip->CreateFromHDC(dc, graphics.put()) == kOk && graphics) {
                drawn = gdip->DrawImageRectRectI(graphics.get(), image.get(), 0, 0, width, height,
                                                 static_cast<INT>(bounds.x), static_cast<INT>(bounds.y),
                                                 static_cast<INT>(bounds.width), static_cast<INT>(bounds.height),
                                                 gdiplus::kUnitPixel, nullptr, nullptr, nullptr) == kOk;
            }
        }  // the graphics go before the DC lets go of the section
    }
    dib.LoadDIBinDC(false);
    if (!drawn) {
        dib.DestroyDIB();
        return false;
    }
    bool hasAlpha = false;
    int32_t imageType = imgBlank;
    modParsers::ValidateAlphaChannel(dib.Pixels(), false, hasAlpha, imageType);
    dib.SetAlpha(hasAlpha);
    dib.SetImageType(imgPNG);
    return true;
}

bool cGDIPlus::DrawThroughGDIplus(const c32bppDIB& dib, HDC hDC, float Angle, int32_t Opacity, int32_t destX,
                                  int32_t destY, int32_t destWidth, int32_t destHeight, int32_t SrcX, int32_t SrcY,
                                  int32_t srcWidth, int32_t srcHeight, bool HighQuality, int32_t grayScale,
                                  uintptr_t token, float LightAdjustment) {
    if (gdiplus::IsDisabled()) return false;
    if (Opacity == 0) return true;
    Session gdip(token);
    if (!gdip || dib.Handle() == 0) return false;
    ImageObject bitmap(gdip.operator->());
    GraphicsObject graphics(gdip.operator->());
    if (!WrapImage(gdip, dib, bitmap) || gdip->CreateFromHDC(hDC, graphics.put()) != kOk || !graphics) return false;
    gdip->SetInterpolationMode(graphics.get(), HighQuality ? gdiplus::kInterpolationHighQualityBicubic
                                                           : gdiplus::kInterpolationNearestNeighbor);

    const int flip = DrawFlipType(destWidth, destHeight);
    const int signX = destWidth < 0 ? -1 : 1, signY = destHeight < 0 ? -1 : 1;
    const int32_t width = destWidth * signX, height = destHeight * signY;
    if (gdip->ImageRotateFlip(bitmap.get(), flip) != kOk) return false;

    AttributesObject attributes(gdip.operator->());
    const bool transformed = Angle != 0.0f || Opacity != 100;
    if (grayScale != -1 || LightAdjustment != 0.0f || transformed) {
        ColorMatrix5 matrix = DrawColorMatrix(grayScale, LightAdjustment, transformed ? Opacity : 100);
        bool set = gdip->CreateImageAttributes(attributes.put()) == kOk && attributes &&
                   gdip->SetImageAttributesColorMatrix(attributes.get(), gdiplus::kColorAdjustTypeBitmap, TRUE,
                                                       &matrix[0][0], &matrix[0][0], 0) == kOk;
        // Opacity needs the matrix; grey-scale and lightness alone draw without it.
        if (!set) {
            if (transformed) return false;
            attributes.reset();
        }
    }

    auto draw = [&](int32_t x, int32_t y, int32_t w, int32_t h) {
        return gdip->DrawImageRectRectI(graphics.get(), bitmap.get(), x, y, w, h, SrcX, SrcY, srcWidth, srcHeight,
                                        gdiplus::kUnitPixel, attributes.get(), nullptr, nullptr) == kOk;
    };
    if (Angle != 0.0f) {
        // Turn about the centre of the destination.
        gdip->RotateWorldTransform(graphics.get(), Angle + 180.0f, gdiplus::kMatrixOrderPrepend);
        gdip->TranslateWorldTransform(graphics.get(), static_cast<float>(destX + signX * (width / 2)),
                                      static_cast<float>(destY + signY * (height / 2)), gdiplus::kMatrixOrderAppend);
        return draw(width / 2, height / 2, -width, -height);
    }
    return draw(destX, destY, width, height);
}
