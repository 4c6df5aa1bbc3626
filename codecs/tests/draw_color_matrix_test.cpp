#include "codecs/draw_color_matrix.h"

#include <gtest/gtest.h>

namespace {

TEST(DrawColorMatrix, IdentityWithOpacityAndLightness) {
    ColorMatrix5 m = DrawColorMatrix(-1, 0.0f, 100);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) EXPECT_FLOAT_EQ(m[i][j], i == j ? 1.0f : 0.0f) << i << "," << j;

    m = DrawColorMatrix(-1, 25.0f, 40);
    EXPECT_FLOAT_EQ(m[3][3], 0.4f);
    for (int j = 0; j < 3; ++j) EXPECT_FLOAT_EQ(m[4][j], 0.25f);
    EXPECT_FLOAT_EQ(m[4][3], 0.0f);
}

TEST(DrawColorMatrix, GrayScaleRowsSpreadEachWeightAcrossTheColours) {
    ColorMatrix5 m = DrawColorMatrix(1, 0.0f, 100);
    const float weights[3] = {0.213f, 0.715f, 0.072f};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) EXPECT_FLOAT_EQ(m[row][column], weights[row]);
    EXPECT_FLOAT_EQ(m[3][3], 1.0f);
    EXPECT_FLOAT_EQ(m[4][4], 1.0f);
}

TEST(DrawFlipType, SignsOfTheDestinationMirror) {
    EXPECT_EQ(DrawFlipType(10, 10), 6);   // upright a bottom-up buffer
    EXPECT_EQ(DrawFlipType(10, -10), 0);  // mirrored top to bottom
    EXPECT_EQ(DrawFlipType(-10, 10), 2);  // mirrored left to right
    EXPECT_EQ(DrawFlipType(-10, -10), 4); // both: turned by 180 degrees
}

}  // namespace
