// The checkerboard fill matches what GDI's FillRect paints on the section.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "common/win32_handles.h"
#include "imagecore/c32bppDIB.h"

namespace {

void FillWithGdi(c32bppDIB& image, int32_t size, COLORREF first, COLORREF second) {
    HDC dc = image.LoadDIBinDC(true);
    ASSERT_NE(dc, nullptr);
    win32::Brush brushes[2] = {win32::Brush(CreateSolidBrush(first)), win32::Brush(CreateSolidBrush(second))};
    for (int32_t top = 0, band = 0; top < image.Height(); top += size, ++band)
        for (int32_t left = 0, square = 0; left < image.Width(); left += size, ++square) {
            RECT r{left, top, left + size, top + size};
            FillRect(dc, &r, brushes[(band + square) & 1].get());
        }
    GdiFlush();
    image.LoadDIBinDC(false);
    for (int32_t i = 0; i < image.Width() * image.Height(); ++i) image.BitsPointer()[i * 4 + 3] = 255;
}

TEST(CreateCheckerBoard, SameAsFillRectOnTheSection) {
    for (auto [width, height, size] : {std::array{7, 5, 3}, {16, 16, 4}, {5, 9, 1}, {3, 2, 10}}) {
        c32bppDIB ours, gdi;
        ASSERT_TRUE(ours.InitializeDIB(width, height));
        ASSERT_TRUE(gdi.InitializeDIB(width, height));
        ASSERT_TRUE(ours.CreateCheckerBoard(size, 0x2040C0, 0xF0E0D0));
        FillWithGdi(gdi, size, 0x2040C0, 0xF0E0D0);
        EXPECT_EQ(0, std::memcmp(ours.BitsPointer(), gdi.BitsPointer(), static_cast<size_t>(width) * height * 4))
            << width << "x" << height << " squares of " << size;
    }
}

}  // namespace
