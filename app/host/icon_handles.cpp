#include "app/host/icon_handles.h"

#include <vector>

#include "app/host/icon_directory.h"

namespace host {
namespace {

constexpr DWORD kIconFormatVersion = 0x00030000;

// asCursor with an icon file makes a cursor whose hot spot is the centre.
HICON CreateFromSlice(std::span<const uint8_t> file, bool cursorFile, bool asCursor, int wantedSize) {
    auto slice = FindIconImage(file, cursorFile, wantedSize);
    if (!slice) return nullptr;
    if (asCursor && !cursorFile) {
        slice->hotspotX = slice->width / 2;
        slice->hotspotY = slice->height / 2;
    }
    std::vector<uint8_t> resource;
    if (asCursor) {
        // Cursor resources start with the hot spot.
        resource = {static_cast<uint8_t>(slice->hotspotX), static_cast<uint8_t>(slice->hotspotX >> 8),
                    static_cast<uint8_t>(slice->hotspotY), static_cast<uint8_t>(slice->hotspotY >> 8)};
    }
    auto image = file.subspan(slice->offset, slice->size);
    resource.insert(resource.end(), image.begin(), image.end());
    return CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), asCursor ? FALSE : TRUE,
                                    kIconFormatVersion, slice->width, slice->height, LR_DEFAULTCOLOR);
}

}  // namespace

win32::Icon IconFromFileBytes(std::span<const uint8_t> file, int wantedSize) {
    return win32::Icon(CreateFromSlice(file, false, false, wantedSize));
}

win32::Cursor CursorFromFileBytes(std::span<const uint8_t> file, int wantedSize) {
    HICON cursor = CreateFromSlice(file, true, true, wantedSize);
    if (!cursor) cursor = CreateFromSlice(file, false, true, wantedSize);
    return win32::Cursor(cursor);
}

}  // namespace host
