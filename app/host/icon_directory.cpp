#include "app/host/icon_directory.h"

#include <cstdlib>

namespace host {
namespace {

uint16_t Word(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t Dword(std::span<const uint8_t> b, size_t at) { return Word(b, at) | static_cast<uint32_t>(Word(b, at + 2)) << 16; }

}  // namespace

std::optional<IconImageSlice> FindIconImage(std::span<const uint8_t> file, bool cursor, int wantedSize) {
    constexpr size_t kHeaderSize = 6, kEntrySize = 16;
    if (file.size() < kHeaderSize || Word(file, 0) != 0 || Word(file, 2) != (cursor ? 2 : 1)) return std::nullopt;
    size_t count = Word(file, 4);
    if (count == 0 || file.size() < kHeaderSize + count * kEntrySize) return std::nullopt;

    std::optional<IconImageSlice> best;
    int bestDistance = 0, bestDepth = 0;
    for (size_t i = 0; i < count; ++i) {
        size_t entry = kHeaderSize + i * kEntrySize;
        IconImageSlice slice;
        slice.width = file[entry] == 0 ? 256 : file[entry];
        slice.height = file[entry + 1] == 0 ? 256 : file[entry + 1];
        slice.size = Dword(file, entry + 8);
        slice.offset = Dword(file, entry + 12);
        if (slice.offset > file.size() || slice.size > file.size() - slice.offset || slice.size == 0) return std::nullopt;
        int depth = 0;
        if (cursor) {
            slice.hotspotX = Word(file, entry + 4);
            slice.hotspotY = Word(file, entry + 6);
        } else {
            depth = Word(file, entry + 6);
        }
        int distance = std::abs(slice.width - wantedSize);
        if (!best || distance < bestDistance || (distance == bestDistance && depth > bestDepth)) {
            best = slice;
            bestDistance = distance;
            bestDepth = depth;
        }
    }
    return best;
}

}  // namespace host
