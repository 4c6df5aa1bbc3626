#include "codecs/cGIFparser.h"

#include "codecs/gif_first_image.h"
#include "imagecore/c32bppDIB.h"

namespace {

using gif::FirstImage;

bool Decode(std::span<const uint8_t> bytes, const FirstImage& image, c32bppDIB& host) {
    if (!gif::IsDecodable(image) || !host.InitializeDIB(image.width, image.height)) return false;
    gif::WritePixels(bytes, image, OutputRows::Of(host.Pixels()));
    host.SetAlpha(image.transparent);
    host.SetImageType(imgGIF);
    return true;
}

}  // namespace

bool cGIFparser::LoadStream(std::span<const uint8_t> inStream, c32bppDIB& cHost, int64_t streamOffset,
                            int64_t streamLength) {
    const int64_t size = static_cast<int64_t>(inStream.size());
    if (streamOffset < 0 || streamLength < 6 || streamOffset > size || streamLength > size - streamOffset) return false;
    std::span<const uint8_t> bytes = inStream.subspan(static_cast<size_t>(streamOffset), static_cast<size_t>(streamLength));
    if (!gif::IsSignature(bytes)) return false;

    FirstImage image;
    switch (gif::FindFirstImage(bytes, image)) {
        case gif::Walk::NoImage:
        case gif::Walk::NoColourTable:
            return false;
        case gif::Walk::Broken:
            cHost.DestroyDIB();
            return true;
        case gif::Walk::Found:
            break;
    }
    if (!Decode(bytes, image, cHost)) cHost.DestroyDIB();
    return true;
}
