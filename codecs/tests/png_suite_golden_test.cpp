// The decoder's own path against the expected PngSuite decodes, on every
// target: natively, and under Wine with GDI+ switched off.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "codecs/cPNGparser.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/modParsers.h"
#include "codecs/tests/pngsuite_golden.h"
#include "imagecore/c32bppDIB.h"

namespace {

namespace fs = std::filesystem;

TEST(PngSuiteGolden, OwnPathGivesTheExpectedPixels) {
    const fs::path folder = MENDLOW_PNGSUITE_DIR;
    if (!fs::exists(folder)) GTEST_SKIP() << "PngSuite not found at " << folder;
    auto golden = pngsuite::ReadGolden(MENDLOW_PNGSUITE_GOLDEN);
    ASSERT_GT(golden.size(), 140u);
    gdiplus::SetDisabled(true);
    for (bool zlib : {true, false}) {
        modParsers::SetZlibDisabled(!zlib);
        for (const auto& [name, expected] : golden) {
            std::ifstream in(folder / name, std::ios::binary);
            std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            c32bppDIB image;
            EXPECT_TRUE(cPNGparser().LoadStream(bytes, image, 0, static_cast<int64_t>(bytes.size()), 0)) << name;
            ASSERT_NE(image.Handle(), 0u) << name;
            std::vector<uint8_t> pixels;
            for (int y = 0; y < image.Height(); ++y)
                pixels.insert(pixels.end(), image.Pixels().PictureRow(y),
                              image.Pixels().PictureRow(y) + image.Width() * 4);
            EXPECT_EQ(image.Width(), expected.width) << name;
            EXPECT_EQ(image.Height(), expected.height) << name;
            EXPECT_EQ(pngsuite::Fnv1a(pixels), expected.hash) << name << (zlib ? " with zlib" : " without zlib");
        }
    }
    modParsers::SetZlibDisabled(false);
    gdiplus::SetDisabled(false);
}

}  // namespace
