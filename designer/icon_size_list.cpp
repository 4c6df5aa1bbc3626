#include "designer/icon_size_list.h"

#include <algorithm>
#include <cstdio>

namespace designer {
namespace {

constexpr int32_t kTrueColor = -16777216;
constexpr int32_t kTrueColorAlpha = -1;
constexpr int32_t kHighColor = 16776960;

std::string ColorText(int32_t code) {
    switch (code) {
        case kTrueColor: return "True Color}";
        case kTrueColorAlpha: return "True Color Alpha}";
        case kHighColor: return "High Color}";
        default: return std::to_string(code) + " colors}";
    }
}

// The number that the text's leading blanks and digits spell; 0 when none.
int32_t LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    int32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

}  // namespace

std::string IconSizeEntryText(const IconSize& size) {
    char dimensions[32];
    std::snprintf(dimensions, sizeof dimensions, "%03dx%03d {%d bit, ", static_cast<int>(size[0]),
                  static_cast<int>(size[1]), static_cast<int>(size[2]));
    return dimensions + ColorText(size[3]);
}

int32_t IconSizeKey(const IconSize& size) { return size[0] * size[1] + size[2]; }

std::vector<IconSizeEntry> IconSizeList(const std::vector<IconSize>& sizes) {
    std::vector<IconSizeEntry> list;
    for (const IconSize& size : sizes) {
        IconSizeEntry entry{IconSizeEntryText(size), IconSizeKey(size)};
        auto after = std::upper_bound(list.begin(), list.end(), entry.key,
                                      [](int32_t key, const IconSizeEntry& e) { return key < e.key; });
        list.insert(after, std::move(entry));
    }
    return list;
}

IconSizeChoice ParseIconSizeEntry(std::string_view text) {
    IconSizeChoice choice;
    choice.width = LeadingNumber(text.substr(0, 3));
    if (text.size() > 4) choice.height = LeadingNumber(text.substr(4, 3));
    size_t brace = text.find('{');
    if (brace != std::string_view::npos) choice.bits = LeadingNumber(text.substr(brace + 1, 3));
    return choice;
}

}  // namespace designer
