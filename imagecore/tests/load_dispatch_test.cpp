// The dispatcher's rules, observed through whole loads of small PNG files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "codecs/gdiplus_availability.h"
#include "codecs/tests/bmp_builder.h"
#include "codecs/tests/png_builder.h"
#include "imagecore/c32bppDIB.h"

namespace {

namespace fs = std::filesystem;
using test_png::Bytes;

// A 2 x 1 RGBA image: one opaque red pixel, one half-transparent white one.
Bytes SmallPng() {
    return test_png::Builder()
        .Header(2, 1, 8, 6)
        .Data({0, 255, 0, 0, 255, 255, 255, 255, 128})
        .End();
}

// A 2 x 1 GIF (red, blue) padded with a comment to more than 56 bytes.
Bytes SmallGif() {
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 255, 0, 0, 0, 0, 255};
    Bytes comment = {0x21, 0xFE, 20};
    comment.resize(comment.size() + 20, 'x');
    comment.push_back(0);
    gif.insert(gif.end(), comment.begin(), comment.end());
    // Image descriptor, code size 2, codes clear 0 1 end in 3 bits each, trailer.
    const Bytes image = {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x0A, 0, 0x3B};
    gif.insert(gif.end(), image.begin(), image.end());
    return gif;
}

// An icon file with two 2 x 2 images: 4 bits per pixel, then 32.
Bytes TwoDepthIcon() {
    using namespace test_bmp;
    Bytes palette = Quads(std::vector<uint32_t>(16, 0x00FF00));
    Bytes colour4 = PaddedRows({{0x00}, {0x00}});
    Bytes mask = PaddedRows({{0x00}, {0x00}});
    Bytes colour32 = PaddedRows({{1, 2, 3, 255, 1, 2, 3, 255}, {1, 2, 3, 255, 1, 2, 3, 255}});
    return IconFile(1, {{2, 2, 1, 4, IconBitmap(2, 2, 4, palette, colour4, mask)},
                        {2, 2, 1, 32, IconBitmap(2, 2, 32, {}, colour32, mask)}});
}

// GDI+ would decode the PNG before our decoder: keep these results ours.
class LoadDispatch : public ::testing::Test {
protected:
    void SetUp() override { gdiplus::SetDisabled(true); }
    void TearDown() override { gdiplus::SetDisabled(false); }

    // An object that holds a 1 x 1 image, to see whether a load destroyed it.
    static void GiveImage(c32bppDIB& image) { ASSERT_TRUE(image.InitializeDIB(1, 1)); }

    fs::path WriteFile(const std::string& name, const Bytes& bytes) {
        fs::path path = fs::temp_directory_path() / ("mendlow-load-" + name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        written_.push_back(path);
        return path;
    }
    ~LoadDispatch() override {
        for (const fs::path& path : written_) fs::remove(path);
    }

private:
    std::vector<fs::path> written_;
};

TEST_F(LoadDispatch, StreamDecodesAndKeepsTheWholeArray) {
    Bytes png = SmallPng();
    Bytes array = png;
    array.insert(array.begin(), 5, 0xEE);

    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Stream(array, 0, 0, 5, 0, true, 32));
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.Height(), 1);
    EXPECT_EQ(image.ImageType(), imgPNG);
    const uint8_t* row = image.Pixels().PictureRow(0);
    EXPECT_EQ(row[2], 255);  // red, opaque
    EXPECT_EQ(row[7], 128);  // premultiplied white at half alpha
    EXPECT_EQ(row[4], 128);
    Bytes kept;
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, array);  // not only the window

    ASSERT_TRUE(image.LoadPicture_Stream(array, 0, 0, 5, 0, false, 32));
    EXPECT_FALSE(image.GetOrginalFormat(kept));
}

TEST_F(LoadDispatch, EachFormatFindsItsDecoder) {
    c32bppDIB image;
    Bytes gif = SmallGif();
    ASSERT_TRUE(image.LoadPicture_Stream(gif));
    EXPECT_EQ(image.ImageType(), imgGIF);
    EXPECT_EQ(image.Pixels().PictureRow(0)[2], 255);  // red
    EXPECT_EQ(image.Pixels().PictureRow(0)[4], 255);  // blue
    ASSERT_TRUE(image.LoadPicture_File(WriteFile("small.gif", gif).wstring(), 0, 0, true));
    EXPECT_EQ(image.ImageType(), imgGIF);
    Bytes kept;
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, gif);
}

TEST_F(LoadDispatch, IconDepthIsNormalised) {
    const Bytes icon = TwoDepthIcon();
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Stream(icon, 2, 2, 0, 0, false, 0));  // 0 stays 0: the shallow image
    EXPECT_EQ(image.ImageType(), imgIcon);
    for (int32_t depth : {33, -1, 32}) {
        ASSERT_TRUE(image.LoadPicture_Stream(icon, 2, 2, 0, 0, false, depth));
        EXPECT_EQ(image.ImageType(), imgIconAlpha) << depth;
    }
    // Negative sizes mean no preference: both images are smaller than the
    // 32 x 32 then wanted, and the second pass favours 32 bits.
    ASSERT_TRUE(image.LoadPicture_Stream(icon, -5, -5, 0, 0, false, 4));
    EXPECT_EQ(image.ImageType(), imgIconAlpha);
}

TEST_F(LoadDispatch, BitmapsComeLast) {
    using namespace test_bmp;
    Info info;
    info.width = 2, info.height = 1, info.bitCount = 24;
    Bytes bmp = File(InfoHeader(info), {}, PaddedRows({{10, 20, 30, 40, 50, 60}}));
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Stream(bmp));
    EXPECT_EQ(image.ImageType(), imgBitmap);
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.Pixels().PictureRow(0)[6], 60);
    EXPECT_EQ(image.Pixels().PictureRow(0)[7], 255);
}

TEST_F(LoadDispatch, WindowRules) {
    Bytes png = SmallPng();
    c32bppDIB image;
    EXPECT_TRUE(image.LoadPicture_Stream(png, 0, 0, -7, 0, false, 32));  // below the lower bound: from 0
    EXPECT_TRUE(image.LoadPicture_Stream(png, 0, 0, 0, static_cast<int64_t>(png.size()), false, 32));

    // Windows that leave the array, or an empty array, decode nothing and keep the image.
    for (auto [start, length] : {std::pair<int64_t, int64_t>{0, static_cast<int64_t>(png.size()) + 1},
                                 {static_cast<int64_t>(png.size()) + 1, 0}, {1, -1}}) {
        GiveImage(image);
        EXPECT_FALSE(image.LoadPicture_Stream(png, 0, 0, start, length, false, 32)) << start << " " << length;
        EXPECT_EQ(image.Width(), 1);
    }
    EXPECT_FALSE(image.LoadPicture_Stream({}, 0, 0, 0, 0, false, 32));
    EXPECT_EQ(image.Width(), 1);
}

TEST_F(LoadDispatch, FiftySixBytesAreNeverDecodedFiftySevenAre) {
    Bytes junk(100, 0x42);
    c32bppDIB image;
    GiveImage(image);
    EXPECT_FALSE(image.LoadPicture_Stream(junk, 0, 0, 0, 56, false, 32));
    EXPECT_EQ(image.Width(), 1);  // untouched
    EXPECT_FALSE(image.LoadPicture_Stream(junk, 0, 0, 44, 0, false, 32));
    EXPECT_EQ(image.Width(), 1);
    EXPECT_FALSE(image.LoadPicture_Stream(junk, 0, 0, 0, 57, false, 32));
    EXPECT_EQ(image.Handle(), 0u);  // offered to the decoders, which destroyed the old image

    GiveImage(image);
    EXPECT_FALSE(image.LoadPicture_File(WriteFile("56", Bytes(56, 0x42)).wstring()));
    EXPECT_EQ(image.Width(), 1);
    EXPECT_FALSE(image.LoadPicture_File(WriteFile("57", Bytes(57, 0x42)).wstring()));
    EXPECT_EQ(image.Handle(), 0u);
}

TEST_F(LoadDispatch, MissingFileLeavesTheImage) {
    c32bppDIB image;
    GiveImage(image);
    EXPECT_FALSE(image.LoadPicture_File((fs::temp_directory_path() / "mendlow-no-such-file.png").wstring()));
    EXPECT_EQ(image.Width(), 1);
}

TEST_F(LoadDispatch, FileKeepsTheFileBytesAndReloadsFromThem) {
    Bytes png = SmallPng();
    fs::path path = WriteFile("small.png", png);
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_File(path.wstring(), 0, 0, true, 32));
    EXPECT_EQ(image.Width(), 2);
    Bytes kept;
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, png);

    image.EraseDIB();
    ASSERT_TRUE(image.LoadPicture_FromOrignalFormat(0, 0, 32));
    EXPECT_EQ(image.Pixels().PictureRow(0)[2], 255);
    ASSERT_TRUE(image.GetOrginalFormat(kept));  // still kept
    EXPECT_EQ(kept, png);

    ASSERT_TRUE(image.LoadPicture_File(path.wstring(), 0, 0, false, 32));
    EXPECT_FALSE(image.GetOrginalFormat(kept));
}

TEST_F(LoadDispatch, DamagedPngLeavesNoImage) {
    Bytes png = SmallPng();
    png[png.size() - 20] ^= 0xFF;  // inside the image data's checksum
    c32bppDIB image;
    GiveImage(image);
    EXPECT_FALSE(image.LoadPicture_Stream(png, 0, 0, 0, 0, true, 32));
    EXPECT_EQ(image.Handle(), 0u);
    Bytes kept;
    EXPECT_FALSE(image.GetOrginalFormat(kept));
}

}  // namespace
