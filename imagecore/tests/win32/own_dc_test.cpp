// The image object's own device context under Wine.
#include <gtest/gtest.h>

#include "imagecore/c32bppDIB.h"

namespace {

TEST(c32bppDIBOwnDc, LoadSelectsOnceAndUnloadDropsTheDc) {
    c32bppDIB image;
    EXPECT_EQ(image.LoadDIBinDC(true), nullptr);  // no image, no DC
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    HDC dc = image.LoadDIBinDC(true);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(image.LoadDIBinDC(true), dc);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), image.Bitmap());

    // The section is drawable through the DC: bottom-up, blue first.
    SetPixelV(dc, 0, 0, RGB(10, 20, 30));
    GdiFlush();
    const uint8_t* topLeft = image.Pixels().PictureRow(0);
    EXPECT_EQ(topLeft[0], 30);
    EXPECT_EQ(topLeft[2], 10);

    EXPECT_EQ(image.LoadDIBinDC(false), nullptr);
    EXPECT_EQ(GetObjectType(dc), 0u);  // deleted: ManageOwnDC is false
}

TEST(c32bppDIBOwnDc, ManagedDcOutlivesUnloading) {
    c32bppDIB image;
    image.SetManageOwnDC(true);
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    HDC dc = image.LoadDIBinDC(true);
    ASSERT_NE(dc, nullptr);
    image.LoadDIBinDC(false);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_NE(GetCurrentObject(dc, OBJ_BITMAP), image.Bitmap());  // the section was taken out
    EXPECT_EQ(image.LoadDIBinDC(true), dc);

    image.SetManageOwnDC(false);
    EXPECT_EQ(GetObjectType(dc), 0u);
    image.DestroyDIB();
    EXPECT_EQ(image.LoadDIBinDC(true), nullptr);
}

}  // namespace
