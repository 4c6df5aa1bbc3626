#include "imagecore/c32bppDIB.h"

#include <gtest/gtest.h>

#include "codecs/modParsers.h"
#include "imagecore/system_capabilities.h"

namespace {

TEST(c32bppDIB, PicturePixelZeroZeroIsTheFirstPixelOfTheLastMemoryRow) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(3, 2));
    EXPECT_EQ(image.scanWidth(), 12);
    uint8_t* bits = image.BitsPointer();
    EXPECT_EQ(image.Pixels().PictureRow(0), bits + 12);
    EXPECT_EQ(image.Pixels().PictureRow(1), bits);
    for (int i = 0; i < 3 * 2 * 4; ++i) EXPECT_EQ(bits[i], 0) << i;  // a new buffer is blank
}

TEST(c32bppDIB, InitializeRefusesBadSizes) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(10, -5));  // negative height: still bottom-up
    EXPECT_EQ(image.Width(), 10);
    EXPECT_EQ(image.Height(), 5);

    EXPECT_FALSE(image.InitializeDIB(0, 5));
    EXPECT_FALSE(image.InitializeDIB(5, 0));
    EXPECT_FALSE(image.InitializeDIB(-1, 5));
    EXPECT_FALSE(image.InitializeDIB(5, INT32_MIN));
    EXPECT_FALSE(image.InitializeDIB(32768, 16384));  // exactly 2^31 bytes
    EXPECT_FALSE(image.InitializeDIB(INT32_MAX, INT32_MAX));
    EXPECT_EQ(image.Handle(), 0u);
    EXPECT_EQ(image.BitsPointer(), nullptr);
    EXPECT_EQ(image.Width(), 0);
}

TEST(c32bppDIB, StateAfterInitializeEraseAndDestroy) {
    c32bppDIB image;
    EXPECT_EQ(image.ImageType(), imgBlank);  // a new object
    EXPECT_FALSE(image.Alpha());
    image.EraseDIB();  // harmless without an image
    EXPECT_EQ(image.ImageType(), imgBlank);

    ASSERT_TRUE(image.InitializeDIB(4, 4));
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgBlank);
    EXPECT_NE(image.Handle(), 0u);

    image.SetAlpha(false);
    image.SetImageType(imgPNG);
    std::fill_n(image.BitsPointer(), 64, uint8_t{0xAB});
    image.EraseDIB();
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgBlank);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(image.BitsPointer()[i], 0);

    const uint8_t original[] = {1, 2, 3};
    image.SetOriginalFormat(original);
    std::vector<uint8_t> kept;
    EXPECT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, (std::vector<uint8_t>{1, 2, 3}));

    image.DestroyDIB();
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), imgNone);
    EXPECT_EQ(image.Handle(), 0u);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_FALSE(image.GetOrginalFormat(kept));  // the kept bytes go with the image
    EXPECT_TRUE(kept.empty());
}

TEST(SystemCapabilities, FromTheWindowsVersion) {
    using namespace capability;
    EXPECT_EQ(CapabilityBitsFor({2, 5, 0, 0}), kAlphaBlendForPlainDrawing | kAlphaBlendAllowed);  // 2000
    EXPECT_EQ(CapabilityBitsFor({2, 10, 0, 0}), kAlphaBlendForPlainDrawing | kAlphaBlendAllowed);
    EXPECT_EQ(CapabilityBitsFor({2, 4, 0, 6}), 0u);              // NT 4 SP 6
    EXPECT_EQ(CapabilityBitsFor({2, 4, 0, 5}), kGdiplusNever);   // NT 4 SP 5
    EXPECT_EQ(CapabilityBitsFor({1, 4, 10, 0}), kAlphaBlendAllowed | kWin9xFamily);  // 98
    EXPECT_EQ(CapabilityBitsFor({1, 4, 0, 0}), kGdiplusNever);   // 95
}

TEST(c32bppDIB, CapabilitySwitches) {
    using namespace capability;
    c32bppDIB nt4(0u);
    EXPECT_FALSE(nt4.isAlphaBlendFriendly());
    nt4.SetIsAlphaBlendFriendly(true);  // not without AlphaBlend
    EXPECT_FALSE(nt4.isAlphaBlendFriendly());

    c32bppDIB modern(kAlphaBlendForPlainDrawing | kAlphaBlendAllowed);
    EXPECT_TRUE(modern.isAlphaBlendFriendly());
    modern.SetIsAlphaBlendFriendly(false);
    EXPECT_FALSE(modern.isAlphaBlendFriendly());
    modern.SetIsAlphaBlendFriendly(true);
    EXPECT_TRUE(modern.isAlphaBlendFriendly());

    c32bppDIB win95(kGdiplusNever);
    win95.SetIsGDIplusEnabled(true);
    EXPECT_FALSE(win95.isGDIplusEnabled());
    EXPECT_FALSE(win95.HighQualityInterpolation());
}

TEST(c32bppDIB, ReportsZlibAndItsSwitch) {
    c32bppDIB image;
    EXPECT_TRUE(image.isZlibEnabled());
    modParsers::SetZlibDisabled(true);
    EXPECT_FALSE(image.isZlibEnabled());
    modParsers::SetZlibDisabled(false);
    EXPECT_TRUE(image.isZlibEnabled());
}

}  // namespace
