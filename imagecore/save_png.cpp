// The image as a PNG file: GDI+ first, the own encoder when GDI+ is off or fails.
#include "codecs/cPNGwriter.h"
#include "codecs/gdiplus_availability.h"
#include "imagecore/c32bppDIB.h"

bool c32bppDIB::SaveToStream_PNG(std::vector<uint8_t>& outStream) const {
    if (Handle() == 0) return false;
    if (isGDIplusEnabled() && gdiplus::SaveImageAsPng(*this, outStream, gdiToken_)) return true;
    return cPNGwriter().SavePNG(*this, L"", outStream);
}
