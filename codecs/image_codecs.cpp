// The public decoding entry: the image object does the work, the bytes come
// out straight and top-down as other programs expect them.
#include "mendlow/image_codecs.h"

#include <span>

#include "imagecore/c32bppDIB.h"

namespace mendlow {

bool DecodeImage(const uint8_t* file, size_t size, DecodedImage& image) {
    image = {};
    if (!file || size == 0) return false;
    c32bppDIB decoded;
    if (!decoded.LoadPicture_Stream(std::span<const uint8_t>(file, size))) return false;
    std::vector<uint8_t> pixels;
    if (!decoded.GetDIBbits(pixels, false, true, true, false, false, 0, 0, 0, 0, false)) return false;
    image.width = decoded.Width();
    image.height = decoded.Height();
    image.pixels = std::move(pixels);
    return true;
}

}  // namespace mendlow
