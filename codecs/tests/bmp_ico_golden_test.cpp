// Every committed BMP, ICO and CUR file decodes to ImageMagick's pixels
// (after the alpha rules), on every target.
#include <gtest/gtest.h>

#include "codecs/cBMPparser.h"
#include "codecs/cICOparser.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/tests/bmpico_files.h"

namespace {

TEST(BmpIcoGolden, BitmapsDecodeToTheReferencePixels) {
    int compared = 0;
    for (const bmpico::Expected& e : bmpico::ReadGolden()) {
        if (e.entry != 0 || !e.known) continue;
        std::vector<uint8_t> bytes = bmpico::ReadFile(e.file);
        ASSERT_FALSE(bytes.empty()) << e.file;
        c32bppDIB image;
        ASSERT_TRUE(cBMPparser().LoadStream(bytes, image, 0, int64_t(bytes.size()))) << e.file;
        EXPECT_EQ(image.Width(), e.width) << e.file;
        EXPECT_EQ(image.Height(), e.height) << e.file;
        EXPECT_EQ(pngsuite::Fnv1a(bmpico::TopRowFirst(image)), e.hash) << e.file;
        EXPECT_FALSE(image.Alpha()) << e.file;
        EXPECT_EQ(image.ImageType(), imgBitmap) << e.file;
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

TEST(BmpIcoGolden, EveryIconEntryDecodesToTheReferencePixels) {
    int compared = 0;
    for (const bmpico::Expected& e : bmpico::ReadGolden()) {
        if (e.entry == 0) continue;
        std::vector<uint8_t> bytes = bmpico::ReadFile(e.file);
        ASSERT_FALSE(bytes.empty()) << e.file;
        cICOparser directory;
        ASSERT_TRUE(directory.LoadStream(bytes, 0, 0, nullptr, 0, 0, 32, 0)) << e.file;
        const int depth = directory.bitDepth(e.entry);
        cICOparser parser;
        c32bppDIB image;
        gdiplus::SetDisabled(true);  // PNG images through the own decoder where GDI+ exists
        const bool ok = parser.LoadStream(bytes, e.width, e.height, &image, 0, 0, depth, 0);
        gdiplus::SetDisabled(false);
        ASSERT_TRUE(ok) << e.file;
        ASSERT_EQ(parser.ChosenIndex(), e.entry) << e.file;
        EXPECT_EQ(image.Width(), e.width) << e.file << " " << e.entry;
        EXPECT_EQ(pngsuite::Fnv1a(bmpico::TopRowFirst(image)), e.hash) << e.file << " " << e.entry;
        ++compared;
    }
    EXPECT_GE(compared, 12);
}

}  // namespace
