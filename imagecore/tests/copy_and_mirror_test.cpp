// Mirroring in place and copies at other sizes, checked against drawing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imagecore/c32bppDIB.h"
#include "imagecore/system_capabilities.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Own engine only: no GDI+, no AlphaBlend, on every build.
constexpr uint32_t kOwnEngine = capability::kGdiplusNever;

// A w x h image whose pixel (x, y from the top) is premultiplied and unique.
void Fill(c32bppDIB& image, int32_t w, int32_t h) {
    ASSERT_TRUE(image.InitializeDIB(w, h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
            const uint8_t alpha = static_cast<uint8_t>(255 - 20 * x - 3 * y);
            p[0] = static_cast<uint8_t>(alpha / (x + 2)), p[1] = static_cast<uint8_t>(alpha / (y + 2));
            p[2] = static_cast<uint8_t>(alpha / 3), p[3] = alpha;
        }
    image.SetAlpha(true);
    image.SetImageType(imgBitmapPremultiplied);
}

Bytes PixelOf(const c32bppDIB& image, int32_t x, int32_t y) {
    const uint8_t* p = image.Pixels().PictureRow(y) + x * 4;
    return Bytes(p, p + 4);
}

Bytes AllBytes(const c32bppDIB& image) {
    return Bytes(image.BitsPointer(), image.BitsPointer() + static_cast<size_t>(image.scanWidth()) * image.Height());
}

TEST(MirrorImage, EachAxisAndBoth) {
    c32bppDIB original(kOwnEngine), image(kOwnEngine);
    Fill(original, 3, 2);
    for (auto [axisX, axisY] : {std::pair{true, false}, {false, true}, {true, true}}) {
        Fill(image, 3, 2);
        ASSERT_TRUE(image.MirrorImage(axisX, axisY));
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 3; ++x)
                EXPECT_EQ(PixelOf(image, x, y), PixelOf(original, axisX ? 2 - x : x, axisY ? 1 - y : y))
                    << axisX << axisY << " at " << x << "," << y;
    }
    Fill(image, 3, 2);
    EXPECT_FALSE(image.MirrorImage(false, false));
    EXPECT_EQ(AllBytes(image), AllBytes(original));
    EXPECT_FALSE(c32bppDIB(kOwnEngine).MirrorImage(true, true));
}

TEST(CopyImageTo, SameSizeCopiesEverythingAskedFor) {
    c32bppDIB image(kOwnEngine);
    Fill(image, 4, 3);
    const Bytes kept = {1, 2, 3};
    image.SetOriginalFormat(kept);

    std::unique_ptr<c32bppDIB> copy;
    image.CopyImageTo(copy, 0, 0, true);
    ASSERT_TRUE(copy);
    EXPECT_EQ(AllBytes(*copy), AllBytes(image));
    EXPECT_EQ(copy->ImageType(), imgBitmapPremultiplied);
    EXPECT_TRUE(copy->Alpha());
    Bytes copiedKept;
    EXPECT_TRUE(copy->GetOrginalFormat(copiedKept));
    EXPECT_EQ(copiedKept, kept);

    // An existing target of another size is made anew; its kept bytes stay unless asked.
    auto other = std::make_unique<c32bppDIB>(kOwnEngine);
    ASSERT_TRUE(other->InitializeDIB(9, 9));
    c32bppDIB* before = other.get();
    image.CopyImageTo(other);
    EXPECT_EQ(other.get(), before);
    EXPECT_EQ(other->Width(), 4);
    EXPECT_EQ(AllBytes(*other), AllBytes(image));

    std::unique_ptr<c32bppDIB> none;
    c32bppDIB(kOwnEngine).CopyImageTo(none);
    EXPECT_FALSE(none);
}

TEST(CopyImageTo, ScaledCopyIsWhatDrawingIntoABlankImageGives) {
    c32bppDIB image(kOwnEngine);
    Fill(image, 5, 4);
    for (bool interpolate : {false, true}) {
        image.SetHighQualityInterpolation(interpolate);
        std::unique_ptr<c32bppDIB> copy;
        image.CopyImageTo(copy, 11, 7);
        ASSERT_TRUE(copy);
        c32bppDIB drawn(kOwnEngine);
        ASSERT_TRUE(drawn.InitializeDIB(11, 7));
        ASSERT_TRUE(image.Render(nullptr, 0, 0, 11, 7, 0, 0, 0, 0, 100, true, false, &drawn));
        EXPECT_EQ(AllBytes(*copy), AllBytes(drawn)) << interpolate;
    }
}

TEST(CopyImageTo, NegativeSizesGiveMirroredCopies) {
    c32bppDIB image(kOwnEngine), mirrored(kOwnEngine);
    Fill(image, 5, 4);
    Fill(mirrored, 5, 4);
    ASSERT_TRUE(mirrored.MirrorImage(true, false));

    std::unique_ptr<c32bppDIB> copy;
    image.CopyImageTo(copy, -5, 4);
    ASSERT_TRUE(copy);
    EXPECT_EQ(AllBytes(*copy), AllBytes(mirrored));

    // At another size: the mirrored image, scaled.
    std::unique_ptr<c32bppDIB> scaledMirror, scaled;
    image.CopyImageTo(scaledMirror, -10, 8);
    mirrored.CopyImageTo(scaled, 10, 8);
    ASSERT_TRUE(scaledMirror && scaled);
    EXPECT_EQ(AllBytes(*scaledMirror), AllBytes(*scaled));
}

}  // namespace
