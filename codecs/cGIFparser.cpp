#include "codecs/cGIFparser.h"

#include <cstring>
#include <vector>

#include "codecs/gif_lzw.h"
#include "imagecore/c32bppDIB.h"

namespace {

// What the block walk found of the first image.
struct FirstImage {
    int32_t width = 0, height = 0;
    bool interlaced = false;
    size_t tablePosition = 0;  // the colour table that applies: local, else global
    size_t tableEntries = 0;
    bool transparent = false;  // from the last graphic-control block before the image
    uint8_t transparentIndex = 0;
    int codeSize = 0;
    std::vector<uint8_t> lzw;  // the data sub-blocks joined
};

enum class Walk { NotGif, Broken, Found };

bool IsSignature(std::span<const uint8_t> s) {
    auto lower = [](uint8_t c) { return static_cast<uint8_t>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    return lower(s[0]) == 'g' && lower(s[1]) == 'i' && lower(s[2]) == 'f' && s[3] == '8' &&
           (s[4] == '9' || s[4] == '7') && lower(s[5]) == 'a';
}

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

Walk FindFirstImage(const View& view, FirstImage& image) {
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
    if (view.At(p) != 0x2C) return Walk::NotGif;

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
    if (p - descriptor <= 3) return Walk::NotGif;
    if (image.tableEntries == 0) return Walk::NotGif;
    return Walk::Found;
}

// Premultiplied BGRA for every possible index. Indices past the table are
// opaque black, as a bitmap with a shorter palette shows them.
void MakeColours(const View& view, const FirstImage& image, uint32_t (&colours)[256]) {
    for (size_t i = 0; i < 256; ++i) {
        uint32_t colour = 0xFF000000u;
        if (i < image.tableEntries) {
            const size_t at = image.tablePosition + 3 * i;
            colour |= uint32_t{view.Byte(at)} << 16 | uint32_t{view.Byte(at + 1)} << 8 | view.Byte(at + 2);
        }
        colours[i] = colour;
    }
    if (image.transparent) colours[image.transparentIndex] = 0;
}

// The indices as stored; an interlaced image keeps its rows in four passes.
void WritePixels(const std::vector<uint8_t>& indices, const uint32_t (&colours)[256], const FirstImage& image,
                 c32bppDIB& host) {
    const size_t width = static_cast<size_t>(image.width);
    auto writeRow = [&](size_t storedRow, int32_t pictureRow) {
        const uint8_t* source = indices.data() + storedRow * width;
        uint8_t* target = host.Pixels().PictureRow(pictureRow);
        for (size_t x = 0; x < width; ++x) std::memcpy(target + 4 * x, &colours[source[x]], 4);
    };
    if (!image.interlaced) {
        for (int32_t y = 0; y < image.height; ++y) writeRow(static_cast<size_t>(y), y);
        return;
    }
    static constexpr int32_t kPassStart[4] = {0, 4, 2, 1}, kPassStep[4] = {8, 8, 4, 2};
    size_t storedRow = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int32_t y = kPassStart[pass]; y < image.height; y += kPassStep[pass]) writeRow(storedRow++, y);
}

bool Decode(const View& view, const FirstImage& image, c32bppDIB& host) {
    if (!gif::IsLzwCodeSize(image.codeSize) || image.width == 0 || image.height == 0) return false;
    if (!host.InitializeDIB(image.width, image.height)) return false;
    // Pixels that the data does not reach keep index 0, as in a freshly
    // made bitmap: a short or damaged stream still shows what it holds.
    std::vector<uint8_t> indices(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
    gif::DecodeLzw(image.lzw, image.codeSize, indices);
    uint32_t colours[256];
    MakeColours(view, image, colours);
    WritePixels(indices, colours, image, host);
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
    if (!IsSignature(bytes)) return false;

    const View view(bytes);
    FirstImage image;
    switch (FindFirstImage(view, image)) {
        case Walk::NotGif:
            return false;
        case Walk::Broken:
            cHost.DestroyDIB();
            return true;
        case Walk::Found:
            break;
    }
    if (!Decode(view, image, cHost)) cHost.DestroyDIB();
    return true;
}
