#include "codecs/gif_first_image.h"

namespace gif {
namespace {

// Reads of the caller's bytes; -1 past their end.
class View {
public:
    explicit View(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    int At(size_t position) const { return position < bytes_.size() ? bytes_[position] : -1; }

    // Data sub-blocks from position: length bytes, each followed by that
    // many bytes, up to a 0. Moves position past the 0; false when the data
    // ends first. With `joined`, the contents are appended to it.
    bool SkipSubBlocks(size_t& position, std::vector<uint8_t>* joined = nullptr) const {
        for (;;) {
            int length = At(position);
            if (length < 0) return false;
            ++position;
            if (length == 0) return true;
            if (bytes_.size() - position < static_cast<size_t>(length)) return false;
            if (joined) joined->insert(joined->end(), bytes_.begin() + position, bytes_.begin() + position + length);
            position += static_cast<size_t>(length);
        }
    }

    uint8_t Byte(size_t position) const { return bytes_[position]; }

private:
    std::span<const uint8_t> bytes_;
};

size_t TableEntries(int packedFields) { return packedFields & 0x80 ? size_t{2} << (packedFields & 7) : 0; }

}  // namespace

bool IsSignature(std::span<const uint8_t> s) {
    auto lower = [](uint8_t c) { return static_cast<uint8_t>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    return lower(s[0]) == 'g' && lower(s[1]) == 'i' && lower(s[2]) == 'f' && s[3] == '8' &&
           (s[4] == '9' || s[4] == '7') && lower(s[5]) == 'a';
}

Walk FindFirstImage(std::span<const uint8_t> bytes, FirstImage& image) {
    const View view(bytes);
    const int screenFlags = view.At(10);
    if (screenFlags < 0) return Walk::Broken;
    const size_t globalEntries = TableEntries(screenFlags);
    size_t p = 13 + 3 * globalEntries;

    for (;;) {
        const int block = view.At(p);
        if (block < 0) return Walk::Broken;
        if (block == 0x00) {
            ++p;
            continue;
        }
        if (block != 0x21) break;
        const int label = view.At(p + 1);
        if (label < 0) return Walk::Broken;
        if (label == 0xFF) {
            const int headerSize = view.At(p + 2);
            if (headerSize < 0) return Walk::Broken;
            p += 3 + static_cast<size_t>(headerSize);
            if (!view.SkipSubBlocks(p)) return Walk::Broken;
        } else if (label == 0xF9) {
            // Read at fixed places whatever its size byte says; a later one replaces this.
            const int flags = view.At(p + 3);
            if (flags < 0) return Walk::Broken;
            image.transparent = (flags & 1) != 0;
            if (image.transparent) {
                const int index = view.At(p + 6);
                if (index < 0) return Walk::Broken;
                image.transparentIndex = static_cast<uint8_t>(index);
            }
            p += 8;
        } else {
            p += 2;
            if (!view.SkipSubBlocks(p)) return Walk::Broken;
        }
    }
    if (view.At(p) != 0x2C) return Walk::NoImage;

    const size_t descriptor = p;
    const int imageFlags = view.At(descriptor + 9);
    if (imageFlags < 0) return Walk::Broken;
    image.width = view.Byte(descriptor + 5) | view.Byte(descriptor + 6) << 8;
    image.height = view.Byte(descriptor + 7) | view.Byte(descriptor + 8) << 8;
    image.interlaced = (imageFlags & 0x40) != 0;
    const size_t localEntries = TableEntries(imageFlags);
    image.tableEntries = localEntries ? localEntries : globalEntries;
    image.tablePosition = localEntries ? descriptor + 10 : 13;

    p = descriptor + 10 + 3 * localEntries;
    image.codeSize = view.At(p);
    if (image.codeSize < 0) return Walk::Broken;
    ++p;
    if (!view.SkipSubBlocks(p, &image.lzw)) return Walk::Broken;
    if (p - descriptor <= 3) return Walk::NoImage;
    if (image.tableEntries == 0) return Walk::NoColourTable;
    return Walk::Found;
}

}  // namespace gif
