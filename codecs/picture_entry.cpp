// BMP, GIF and ICO/CUR for the public entry, decoded by the image object and
// laid out as asked. Colours of pixels that are neither opaque nor fully
// transparent come back from premultiplied values, so they can be a step off
// what the file stores.
#include <cstring>

#include "codecs/decode_entry.h"
#include "imagecore/c32bppDIB.h"

namespace mendlow::entry {
namespace {

FileFormat Sniff(std::span<const uint8_t> f) {
    if (f.size() >= 2 && f[0] == 'B' && f[1] == 'M') return FileFormat::Bmp;
    if (f.size() >= 6 && (std::memcmp(f.data(), "GIF87a", 6) == 0 || std::memcmp(f.data(), "GIF89a", 6) == 0))
        return FileFormat::Gif;
    if (f.size() >= 4 && f[0] == 0 && f[1] == 0 && f[3] == 0 && (f[2] == 1 || f[2] == 2))
        return f[2] == 1 ? FileFormat::Ico : FileFormat::Cur;
    return FileFormat::Unknown;
}

DecodeResult Load(std::span<const uint8_t> file, c32bppDIB& image) {
    const FileFormat format = Sniff(file);
    if (format == FileFormat::Unknown) return Fail(DecodeStatus::NotAPicture, "no known format starts this way");
    ImageInfo info{0, 0, format, false};
    if (!image.LoadPicture_Stream(file)) return Fail(DecodeStatus::Damaged, "the file could not be decoded", info);
    info.width = image.Width();
    info.height = image.Height();
    info.hasAlpha = image.Alpha();
    return Success(info);
}

}  // namespace

DecodeResult ReadPictureInfo(std::span<const uint8_t> file) {
    c32bppDIB image;
    return Load(file, image);
}

DecodeResult DecodePicture(std::span<const uint8_t> file, const DecodeOptions&, const ImageInfo& info,
                           const OutputRows& out) {
    c32bppDIB image;
    DecodeResult loaded = Load(file, image);
    if (!loaded) return loaded;
    if (image.Width() != info.width || image.Height() != info.height)
        return Fail(DecodeStatus::Damaged, "the file decodes to another size than its headers give", info);
    const PixelView pixels = image.Pixels();
    for (int32_t y = 0; y < info.height; ++y) {
        const uint8_t* s = pixels.PictureRow(y);
        uint8_t* d = out.Row(y);
        for (int32_t x = 0; x < info.width; ++x, s += 4, d += 4) {
            uint32_t b = s[0], g = s[1], r = s[2], a = s[3];
            if (!out.premultiplied && a != 0 && a != 255) {
                b = (b * 255 + a / 2) / a, g = (g * 255 + a / 2) / a, r = (r * 255 + a / 2) / a;
                if (b > 255) b = 255;
                if (g > 255) g = 255;
                if (r > 255) r = 255;
            }
            d[0] = uint8_t(out.redFirst ? r : b), d[1] = uint8_t(g), d[2] = uint8_t(out.redFirst ? b : r), d[3] = uint8_t(a);
        }
    }
    return Success(info);
}

}  // namespace mendlow::entry
