// BMP, GIF and ICO/CUR for the public entry: which of them the bytes are.
#include "codecs/picture_entry.h"

#include "codecs/gif_first_image.h"

namespace mendlow::entry {
namespace {

FileFormat Sniff(std::span<const uint8_t> f) {
    if (f.size() >= 2 && f[0] == 'B' && f[1] == 'M') return FileFormat::Bmp;
    if (f.size() >= 6 && gif::IsSignature(f)) return FileFormat::Gif;
    if (f.size() >= 4 && f[0] == 0 && f[1] == 0 && f[3] == 0 && (f[2] == 1 || f[2] == 2))
        return f[2] == 1 ? FileFormat::Ico : FileFormat::Cur;
    return FileFormat::Unknown;
}

}  // namespace

DecodeResult ReadPictureInfo(std::span<const uint8_t> file) {
    switch (Sniff(file)) {
        case FileFormat::Bmp: return ReadBmpInfo(file);
        case FileFormat::Gif: return ReadGifInfo(file);
        case FileFormat::Ico:
        case FileFormat::Cur: return ReadIconInfo(file);
        default: return Fail(DecodeStatus::NotAPicture, "no known format starts this way");
    }
}

DecodeResult DecodePicture(std::span<const uint8_t> file, const DecodeOptions& options, const ImageInfo& info,
                           const OutputRows& out) {
    switch (info.format) {
        case FileFormat::Bmp: return DecodeBmp(file, info, out);
        case FileFormat::Gif: return DecodeGif(file, info, out);
        case FileFormat::Ico:
        case FileFormat::Cur: return DecodeIcon(file, options, info, out);
        default: return Fail(DecodeStatus::NotAPicture, "no known format starts this way", info);
    }
}

}  // namespace mendlow::entry
