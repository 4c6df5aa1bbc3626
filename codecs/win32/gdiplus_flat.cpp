#include "codecs/win32/gdiplus_flat.h"

#include "codecs/gdiplus_availability.h"
#include "common/system_library.h"

namespace gdiplus {
namespace {

template <class Function>
bool Bind(HMODULE library, const char* name, Function& target) {
    target = win32::Export<Function>(library, name);
    return target != nullptr;
}

bool BindAll(HMODULE library, Flat& f) {
    return Bind(library, "GdiplusStartup", f.Startup) && Bind(library, "GdiplusShutdown", f.Shutdown) &&
           Bind(library, "GdipCreateBitmapFromScan0", f.CreateBitmapFromScan0) &&
           Bind(library, "GdipImageRotateFlip", f.ImageRotateFlip) &&
           Bind(library, "GdipGetImageEncodersSize", f.GetImageEncodersSize) &&
           Bind(library, "GdipGetImageEncoders", f.GetImageEncoders) &&
           Bind(library, "GdipSaveImageToFile", f.SaveImageToFile) &&
           Bind(library, "GdipSaveImageToStream", f.SaveImageToStream) &&
           Bind(library, "GdipLoadImageFromFile", f.LoadImageFromFile) &&
           Bind(library, "GdipLoadImageFromStream", f.LoadImageFromStream) &&
           Bind(library, "GdipGetImageBounds", f.GetImageBounds) &&
           Bind(library, "GdipCreateFromHDC", f.CreateFromHDC) &&
           Bind(library, "GdipSetInterpolationMode", f.SetInterpolationMode) &&
           Bind(library, "GdipCreateImageAttributes", f.CreateImageAttributes) &&
           Bind(library, "GdipSetImageAttributesColorMatrix", f.SetImageAttributesColorMatrix) &&
           Bind(library, "GdipDisposeImageAttributes", f.DisposeImageAttributes) &&
           Bind(library, "GdipRotateWorldTransform", f.RotateWorldTransform) &&
           Bind(library, "GdipTranslateWorldTransform", f.TranslateWorldTransform) &&
           Bind(library, "GdipDrawImageRectRectI", f.DrawImageRectRectI) &&
           Bind(library, "GdipDeleteGraphics", f.DeleteGraphics) && Bind(library, "GdipDisposeImage", f.DisposeImage);
}

}  // namespace

const Flat* LoadFlat() {
    // GDI+ stays loaded: tokens handed to callers outlive any one call.
    static const Flat* flat = [] () -> const Flat* {
        static Flat bound{};
        win32::Library library = win32::LoadSystemLibrary(L"gdiplus.dll");
        if (!library || !BindAll(library.get(), bound)) return nullptr;
        library.release();
        return &bound;
    }();
    return IsDisabled() ? nullptr : flat;
}

}  // namespace gdiplus
