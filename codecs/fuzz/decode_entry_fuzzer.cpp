// Fuzzes the public decoding entry with options and limits taken from the
// first two bytes; the rest is the file. The caller's buffer is exactly as
// large as the entry asks, so a write past it shows; a success with the
// checksums checked must agree with ReadImageInfo.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "mendlow/image_codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t a = data[0], b = data[1];
    const uint8_t* file = data + 2;
    size -= 2;
    mendlow::DecodeOptions options;
    options.channels = (a & 1) ? mendlow::ChannelOrder::Bgra : mendlow::ChannelOrder::Rgba;
    options.alpha = (a & 2) ? mendlow::AlphaMode::Premultiplied : mendlow::AlphaMode::Straight;
    options.rows = (a & 4) ? mendlow::RowOrder::BottomUp : mendlow::RowOrder::TopDown;
    options.checkChecksums = (a & 8) == 0;
    options.maxPixels = (a & 16) ? b : uint64_t{1} << 22;  // a tiny limit, or 4 megapixels

    const mendlow::DecodeResult info = mendlow::ReadImageInfo(file, size);
    mendlow::DecodeResult result;
    if (a & 32) {
        mendlow::DecodedImage image;
        result = mendlow::DecodeImage(file, size, options, image);
        if (result && image.pixels.size() != size_t(image.width) * image.height * 4) std::abort();
    } else {
        if (!info || uint64_t(info.info.width) * info.info.height > options.maxPixels) return 0;
        const size_t stride = size_t(info.info.width) * 4 + (b & 7);
        std::vector<uint8_t> pixels(stride * (info.info.height - 1) + size_t(info.info.width) * 4);
        result = mendlow::DecodeImage(file, size, options, pixels.data(), pixels.size(), stride);
    }
    if (result && options.checkChecksums && (!info || info.info.width != result.info.width || info.info.height != result.info.height ||
                   info.info.format != result.info.format || info.info.hasAlpha != result.info.hasAlpha))
        std::abort();
    return 0;
}
