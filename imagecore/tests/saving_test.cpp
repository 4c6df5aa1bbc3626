// Saving: BMP files as stored, PNG through the own encoder, and the size
// list of the icon file an image came from.
#include <gtest/gtest.h>

#include <cstring>

#include "codecs/gdiplus_availability.h"
#include "codecs/tests/bmp_builder.h"
#include "imagecore/c32bppDIB.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Read32(const Bytes& bytes, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, &bytes[at], 4);
    return value;
}

void Fill(c32bppDIB& image, int width, int height, bool alpha) {
    ASSERT_TRUE(image.InitializeDIB(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
            const uint8_t a = alpha && x == 0 ? 100 : 255;
            p[0] = uint8_t(x * 30 % a), p[1] = uint8_t(y * 40 % a), p[2] = uint8_t((x + y) * 9 % a), p[3] = a;
        }
    image.SetAlpha(alpha);
}

// A 4-bit and a 32-bit 2 x 2 image in one icon file.
Bytes TwoImageIcon() {
    using namespace test_bmp;
    Bytes palette = Quads(std::vector<uint32_t>(16, 0x00FF00));
    Bytes mask = PaddedRows({{0x00}, {0x00}});
    Bytes colour32 = PaddedRows({{1, 2, 3, 255, 1, 2, 3, 255}, {1, 2, 3, 255, 1, 2, 3, 255}});
    return IconFile(1, {{2, 2, 1, 4, IconBitmap(2, 2, 4, palette, PaddedRows({{0x00}, {0x00}}), mask)},
                        {2, 2, 1, 32, IconBitmap(2, 2, 32, {}, colour32, mask)}});
}

class Saving : public ::testing::Test {
protected:
    void SetUp() override { gdiplus::SetDisabled(true); }
    void TearDown() override { gdiplus::SetDisabled(false); }
};

TEST_F(Saving, OpaqueImageIs24BitWithPaddedRows) {
    c32bppDIB image;
    Fill(image, 3, 2, false);
    Bytes bmp = {9};
    ASSERT_TRUE(image.SaveToStream(bmp));
    ASSERT_EQ(bmp.size(), 78u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Read32(bmp, 2), 78u);
    EXPECT_EQ(Read32(bmp, 10), 54u);
    EXPECT_EQ(Read32(bmp, 14), 40u);
    EXPECT_EQ(Read32(bmp, 18), 3u);
    EXPECT_EQ(Read32(bmp, 22), 2u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(Read32(bmp, 34), 24u);
    // First stored row is the bottom picture row; 9 bytes padded to 12.
    const uint8_t* bottom = image.Pixels().MemoryRow(0);
    for (int x = 0; x < 3; ++x)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(bmp[54 + x * 3 + c], bottom[x * 4 + c]);
    EXPECT_EQ(bmp[54 + 9] | bmp[54 + 10] | bmp[54 + 11], 0);

    // Our own decoder reads it back unchanged.
    c32bppDIB again;
    ASSERT_TRUE(again.LoadPicture_Stream(bmp));
    ASSERT_EQ(again.Width(), 3);
    EXPECT_EQ(std::memcmp(again.BitsPointer(), image.BitsPointer(), 3 * 2 * 4), 0);
}

TEST_F(Saving, AlphaImageIs32BitAsStored) {
    c32bppDIB image;
    Fill(image, 5, 3, true);
    Bytes bmp;
    ASSERT_TRUE(image.SaveToStream(bmp));
    ASSERT_EQ(bmp.size(), 54u + 5 * 3 * 4);
    EXPECT_EQ(Read32(bmp, 2), bmp.size());
    EXPECT_EQ(bmp[28], 32);
    EXPECT_EQ(std::memcmp(&bmp[54], image.BitsPointer(), 5 * 3 * 4), 0);  // premultiplied, bottom-up
}

TEST_F(Saving, NothingWithoutAnImage) {
    c32bppDIB image;
    Bytes out = {1, 2};
    EXPECT_FALSE(image.SaveToStream(out));
    EXPECT_FALSE(image.SaveToStream_PNG(out));
    std::vector<c32bppDIB::IconSize> sizes;
    EXPECT_EQ(image.SourceIconSizes(sizes), 0);
}

TEST_F(Saving, PngThroughTheOwnEncoderDecodesBack) {
    c32bppDIB image;
    Fill(image, 6, 4, false);
    Bytes png;
    ASSERT_TRUE(image.SaveToStream_PNG(png));
    c32bppDIB again;
    ASSERT_TRUE(again.LoadPicture_Stream(png));
    EXPECT_EQ(again.ImageType(), imgPNG);
    EXPECT_EQ(std::memcmp(again.BitsPointer(), image.BitsPointer(), 6 * 4 * 4), 0);
}

TEST_F(Saving, IconSizesFromTheKeptFileOrTheImageItself) {
    const Bytes icon = TwoImageIcon();
    const std::vector<c32bppDIB::IconSize> untouched = {{7, 7, 7, 7}};
    std::vector<c32bppDIB::IconSize> sizes = untouched;

    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Stream(icon, 2, 2, 0, 0, true, 32));
    ASSERT_EQ(image.SourceIconSizes(sizes), 2);
    EXPECT_EQ(sizes, (std::vector<c32bppDIB::IconSize>{{2, 2, 4, 16}, {2, 2, 32, -1}}));

    c32bppDIB unkept;
    ASSERT_TRUE(unkept.LoadPicture_Stream(icon, 2, 2, 0, 0, false, 4));
    ASSERT_EQ(unkept.ImageType(), imgIcon);
    sizes = untouched;
    ASSERT_EQ(unkept.SourceIconSizes(sizes), 1);
    EXPECT_EQ(sizes, (std::vector<c32bppDIB::IconSize>{{2, 2, 32, -1}}));

    // Not an icon: nothing, and the list stays as it was.
    c32bppDIB png;
    Fill(png, 2, 2, false);
    Bytes pngBytes;
    ASSERT_TRUE(png.SaveToStream_PNG(pngBytes));
    ASSERT_TRUE(png.LoadPicture_Stream(pngBytes, 0, 0, 0, 0, true));
    ASSERT_EQ(png.ImageType(), imgPNG);
    sizes = untouched;
    EXPECT_EQ(png.SourceIconSizes(sizes), 0);
    EXPECT_EQ(sizes, untouched);

    // Kept bytes that are not an icon file on an image that says icon.
    png.SetImageType(imgIconAlpha);
    EXPECT_EQ(png.SourceIconSizes(sizes), 0);
    EXPECT_EQ(sizes, untouched);
}

}  // namespace
