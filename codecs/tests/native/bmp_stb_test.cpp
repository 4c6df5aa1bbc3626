// The BMP decoder against stb_image, decoding the committed bitmaps at test
// time: every file stb_image reads (it takes no run-length data and no
// 52- or 56-byte headers) must give the same pixels, alpha aside.
#include <gtest/gtest.h>

#include <set>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

#include "codecs/cBMPparser.h"
#include "codecs/tests/bmpico_files.h"
#include "imagecore/c32bppDIB.h"

namespace {

// stb_image counts the entries of an OS/2 colour table as if they were 4
// bytes, so a 4-bit one loses its last entries; the system loader and
// ImageMagick agree with the decoder there.
const std::set<std::string> kStbDiffers = {"bmp/os2_core_4.bmp"};

TEST(BmpAgainstStbImage, EveryBitmapItReads) {
    int compared = 0;
    std::string unread;
    for (const bmpico::Expected& e : bmpico::ReadGolden()) {
        if (e.entry != 0 || kStbDiffers.count(e.file)) continue;
        std::vector<uint8_t> bytes = bmpico::ReadFile(e.file);
        int width = 0, height = 0, channels = 0;
        stbi_uc* rgba = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 4);
        if (rgba == nullptr) {
            unread += " " + e.file;
            continue;
        }
        c32bppDIB image;
        ASSERT_TRUE(cBMPparser().LoadStream(bytes, image, 0, int64_t(bytes.size()))) << e.file;
        ASSERT_EQ(image.Width(), width) << e.file;
        ASSERT_EQ(image.Height(), height) << e.file;
        std::vector<uint8_t> ours = bmpico::TopRowFirst(image);
        size_t differences = 0;
        for (size_t i = 0; i < ours.size(); i += 4)
            differences += ours[i] != rgba[i + 2] || ours[i + 1] != rgba[i + 1] || ours[i + 2] != rgba[i];
        EXPECT_EQ(differences, 0u) << e.file;
        stbi_image_free(rgba);
        ++compared;
    }
    std::printf("not read by stb_image:%s\n", unread.c_str());
    EXPECT_GE(compared, 15);
}

}  // namespace
