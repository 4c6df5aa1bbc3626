// Loading pictures with the control's settings applied, and exchanging bytes.
#include <gtest/gtest.h>

#include "codecs/tests/bmp_builder.h"
#include "codecs/tests/gif_builder.h"
#include "imagecontrol/tests/recording_site.h"
#include "imagecore/tests/picture_pixels.h"

namespace {

TEST(ControlLoading, IconSizeDefaultsToTheControlsSize) {
    const Bytes icon = test_bmp::IconFile(1, {{16, 16, 1, 32, OpaquePng(16, 16)},
                                              {48, 48, 1, 32, OpaquePng(48, 48)},
                                              {32, 32, 1, 32, OpaquePng(32, 32)}});
    TestControl t(48, 48);
    t.control.InitProperties();
    int32_t width = 0, height = 0, depth = 0;
    ASSERT_TRUE(t.control.LoadImage_FromArray(icon, width, height, depth));
    EXPECT_EQ(std::vector<int>({width, height, depth}), std::vector<int>({48, 48, 32}));
    EXPECT_EQ(t.control.pvGetImageObject().Width(), 48);
}

TEST(ControlLoading, NewPicturesTakeTheCurrentSettings) {
    TestControl t;
    t.control.InitProperties();
    const Bytes png = MakePng(5, 2, [](int x, int) { return std::array{x * 50, 0, 0, 255}; });
    ASSERT_TRUE(Load(t.control, png));
    t.control.SetMaskColor(0);
    t.control.SetMaskUsed(1);
    t.control.SetMirror(1);
    ASSERT_TRUE(Load(t.control, png));
    EXPECT_EQ(t.control.pvGetImageObject().GetPixel(0, 0), 200) << "mirrored at once";
    EXPECT_EQ(At(t.control.pvGetImageObject(), 4, 0)[3], 0) << "masked at once";

    t.site.changed.clear();
    ASSERT_TRUE(Load(t.control, AlphaPng(6, 6)));
    EXPECT_EQ(t.control.MaskUsed(), 0) << "a picture with alpha turns the mask off";
    EXPECT_FALSE(t.control.MaskApplied());
    EXPECT_EQ(t.site.changed, std::vector<std::string>{"MaskUsed"});
}

TEST(ControlLoading, BytesOutAndIn) {
    const Bytes png = AlphaPng(9, 7);
    TestControl t;
    t.control.InitProperties();
    Bytes out;
    int32_t scan = -1;
    EXPECT_FALSE(t.control.GetImageBytes(out, scan, false, true, true, true, true)) << "nothing loaded";
    t.control.SetKeepOriginalFormat(true);
    ASSERT_TRUE(Load(t.control, png));
    ASSERT_TRUE(t.control.GetImageBytes(out, scan, false, true, true, true, true));
    EXPECT_EQ(out, png);
    EXPECT_EQ(scan, -1);

    ASSERT_TRUE(t.control.GetImageBytes(out, scan));
    EXPECT_EQ(scan, 36);
    std::fill(out.begin(), out.end(), uint8_t{255});
    ASSERT_TRUE(t.control.SetImageBytes(out));
    EXPECT_EQ(At(t.control.pvGetImageObject(), 0, 0), (Bgra{255, 255, 255, 255}));

    // A GIF without kept bytes would be handed out as PNG.
    Bytes indices(32 * 32);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = uint8_t(i * 7 % 13 % 4);
    test_gif::Frame frame;
    frame.width = frame.height = 32, frame.indices = indices, frame.codeSize = 2;
    const Bytes gif = test_gif::Builder(32, 32, test_gif::Palette(4)).Image(frame).End();
    t.control.SetKeepOriginalFormat(false);
    ASSERT_TRUE(Load(t.control, gif));
    EXPECT_EQ(t.control.ImageType(), imgPNG);
    t.control.SetKeepOriginalFormat(true);
    EXPECT_EQ(t.control.ImageType(), imgGIF);
}

TEST(ControlLoading, ClearImage) {
    for (bool userMode : {true, false}) {
        TestControl t(50, 50, userMode);
        t.control.InitProperties();
        t.control.SetAutoSize(false);
        ASSERT_TRUE(Load(t.control, OpaquePng(20, 10)));  // drawn at 50 x 25
        t.control.ClearImage();
        const c32bppDIB& image = t.control.pvGetImageObject();
        EXPECT_EQ(image.Handle() == 0, userMode);
        if (!userMode) {
            EXPECT_EQ(image.ImageType(), imgCheckerBoard);
            EXPECT_EQ(std::vector<int>({image.Width(), image.Height()}), std::vector<int>({50, 25}));
        }
        EXPECT_EQ(t.control.ImageType(), imgBlank);
    }
}

}  // namespace
