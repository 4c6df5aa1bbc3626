// Finds one image inside the bytes of an .ico or .cur file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace host {

struct IconImageSlice {
    uint32_t offset = 0;  // of the image data within the file
    uint32_t size = 0;
    int width = 0;
    int height = 0;
    int hotspotX = 0;  // cursors only
    int hotspotY = 0;
};

// Picks the entry whose size is closest to the wanted one (larger colour
// depth breaks ties). Nothing when the directory is malformed or an entry
// points outside the bytes.
std::optional<IconImageSlice> FindIconImage(std::span<const uint8_t> file, bool cursor, int wantedSize);

}  // namespace host
