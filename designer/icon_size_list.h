// The icon size list of the source image page: one entry per image of an
// icon or cursor file, "032x032 {8 bit, 256 colors}", kept in ascending
// order of width x height + bit count.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace designer {

// Width, height, bit count and colour code of one image.
using IconSize = std::array<int32_t, 4>;

struct IconSizeEntry {
    std::string text;
    int32_t key;  // the entry's item data
};

std::string IconSizeEntryText(const IconSize& size);
int32_t IconSizeKey(const IconSize& size);
// The list in display order; an equal key goes after those already listed.
std::vector<IconSizeEntry> IconSizeList(const std::vector<IconSize>& sizes);

struct IconSizeChoice {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits = 0;
};
// Width from the first three characters, height from the three from the
// fifth, bit count from up to three after "{", each read as a number from
// its leading digits.
IconSizeChoice ParseIconSizeEntry(std::string_view text);

}  // namespace designer
