// A resource load that finds nothing leaves the picture and its settings as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include "imagecontrol/tests/recording_site.h"

namespace {

TEST(ControlResourceLoad, NothingLoadedKeepsThePictureAndSaysSo) {
    TestControl t(40, 40);
    t.control.InitProperties();
    ASSERT_TRUE(Load(t.control, OpaquePng(20, 10)));  // not the same mirrored
    t.control.SetMirror(1);
    t.control.SetInversedImage(true);
    const c32bppDIB& image = t.control.pvGetImageObject();
    const Bytes before(image.BitsPointer(), image.BitsPointer() + image.Pixels().PixelCount() * 4);

    int32_t w = 0, h = 0, depth = 0;
    EXPECT_FALSE(t.control.LoadImage_FromResource(nullptr, std::wstring(L"ARTWORK"), std::wstring(L"MISSING"), w, h,
                                                  depth));
    EXPECT_FALSE(t.control.LoadImage_FromResource(nullptr, int16_t{5}, 1, w, h, depth));  // no such kind
    EXPECT_EQ(Bytes(image.BitsPointer(), image.BitsPointer() + image.Pixels().PixelCount() * 4), before);
    EXPECT_EQ(t.control.Mirror(), 1);
    EXPECT_TRUE(t.control.InversedImage());
}

}  // namespace
