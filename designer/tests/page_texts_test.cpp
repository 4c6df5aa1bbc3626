#include <gtest/gtest.h>

#include "designer/icon_size_list.h"
#include "designer/page_texts.h"

namespace designer {
namespace {

TEST(IconSizeList, EntryTextsParseBackForEveryColourCode) {
    struct Row {
        IconSize size;
        const char* text;
    };
    const Row rows[] = {
        {{32, 32, 8, 256}, "032x032 {8 bit, 256 colors}"},
        {{16, 16, 4, 16}, "016x016 {4 bit, 16 colors}"},
        {{48, 48, 24, -16777216}, "048x048 {24 bit, True Color}"},
        {{256, 256, 32, -1}, "256x256 {32 bit, True Color Alpha}"},
        {{24, 32, 16, 16776960}, "024x032 {16 bit, High Color}"},
        {{1, 2, 1, 2}, "001x002 {1 bit, 2 colors}"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IconSizeEntryText(row.size), row.text);
        IconSizeChoice parsed = ParseIconSizeEntry(row.text);
        EXPECT_EQ(parsed.width, row.size[0]) << row.text;
        EXPECT_EQ(parsed.height, row.size[1]) << row.text;
        EXPECT_EQ(parsed.bits, row.size[2]) << row.text;
    }
    IconSizeChoice empty = ParseIconSizeEntry("");
    EXPECT_EQ(empty.width + empty.height + empty.bits, 0);
}

TEST(IconSizeList, AscendingByAreaPlusBitsWithEqualKeysInArrivalOrder) {
    // 16x16 at 32 bits and 8x31 at 40 bits both key 288.
    std::vector<IconSize> sizes = {{48, 48, 32, -1}, {16, 16, 32, -1}, {8, 31, 40, 0}, {16, 16, 4, 16}};
    std::vector<IconSizeEntry> list = IconSizeList(sizes);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].key, 260);
    EXPECT_EQ(list[1].text, "016x016 {32 bit, True Color Alpha}");
    EXPECT_EQ(list[2].text, "008x031 {40 bit, 0 colors}");
    EXPECT_EQ(list[3].key, 48 * 48 + 32);
}

TEST(PageTexts, FormatsFiltersAndCentring) {
    EXPECT_EQ(FormatDescription(640, 480, 1, false), "640 x 480 - Bitmap or JPG file");
    EXPECT_EQ(FormatDescription(2, 3, 4, false), "2 x 3 - Windows Meta File");
    EXPECT_EQ(FormatDescription(1, 1, 7, true), "1 x 1 - Alpha Bitmap");
    EXPECT_EQ(FormatDescription(9, 9, 9, true), "9 x 9 - Transparent GIF");
    EXPECT_EQ(FormatDescription(9, 9, 9, false), "9 x 9 - GIF file");
    EXPECT_EQ(FormatDescription(128, 128, 10, true), "128 x 128 - PNG file");
    EXPECT_EQ(FormatDescription(5, 5, 3, false), "5 x 5 - ");
    const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0}, png[] = {0x89, 'P', 'N', 'G'};
    EXPECT_TRUE(StartsLikeJpeg(jpeg));
    EXPECT_FALSE(StartsLikeJpeg(png));
    EXPECT_FALSE(StartsLikeJpeg(std::span(jpeg, 2)));

    std::wstring plain = OpenFileFilter(false), tiff = OpenFileFilter(true);
    EXPECT_EQ(plain.find(L"tiff"), std::wstring::npos);
    EXPECT_EQ(tiff.substr(0, 66), std::wstring(L"Image Files\0*gif;*.bmp;*.jpg;*.jpeg;*.ico;*.cur;*.wmf;*.emf;*.png;", 66));
    EXPECT_NE(tiff.find(std::wstring(L"\0Tiff\0*.tiff\0All Files\0*.*\0\0", 28)), std::wstring::npos);
    EXPECT_EQ(plain.substr(plain.size() - 15), std::wstring(L"All Files\0*.*\0\0", 15));
    size_t entries = 0;
    for (wchar_t c : plain) entries += c == L'\0';
    EXPECT_EQ(entries, 8u * 2 + 1);

    EXPECT_EQ(CentredIn(10, 192, 80), 66);
    EXPECT_EQ(CentredIn(10, 192, 81), 65);
    EXPECT_EQ(CentredIn(10, 100, 103), 9);  // larger than the frame: -3 halves to -1
}

}  // namespace
}  // namespace designer
