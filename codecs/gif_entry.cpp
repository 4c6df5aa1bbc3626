// GIF for the public entry: the first image at its own size, as the image
// object decodes it; straight output keeps the transparent index's colour.
#include "codecs/gif_first_image.h"
#include "codecs/picture_entry.h"

namespace mendlow::entry {
namespace {

DecodeResult Find(std::span<const uint8_t> file, gif::FirstImage& image) {
    ImageInfo info{0, 0, FileFormat::Gif, false};
    switch (gif::FindFirstImage(file, image)) {
        case gif::Walk::Broken: return Fail(DecodeStatus::Truncated, "the file ends before its first image does", info);
        case gif::Walk::NoImage: return Fail(DecodeStatus::Damaged, "no image follows the header and extensions", info);
        case gif::Walk::NoColourTable:
            return Fail(DecodeStatus::Unsupported, "the first image has no colour table, local or global", info);
        case gif::Walk::Found: break;
    }
    info = {image.width, image.height, FileFormat::Gif, image.transparent};
    if (!gif::IsDecodable(image))
        return Fail(DecodeStatus::Damaged, "the first image has no pixels or an LZW code size beyond 8 bits", info);
    return Success(info);
}

}  // namespace

DecodeResult ReadGifInfo(std::span<const uint8_t> file) {
    gif::FirstImage image;
    return Find(file, image);
}

DecodeResult DecodeGif(std::span<const uint8_t> file, const ImageInfo& info, const OutputRows& out) {
    gif::FirstImage image;
    DecodeResult found = Find(file, image);
    if (!found) return found;
    if (!SameSize(found.info, info)) return SizeChanged(info);
    gif::WritePixels(file, image, out);
    return found;
}

}  // namespace mendlow::entry
