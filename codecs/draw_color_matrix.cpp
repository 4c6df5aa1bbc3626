#include "codecs/draw_color_matrix.h"

#include "codecs/modParsers.h"

ColorMatrix5 DrawColorMatrix(int32_t grayScale, float lightAdjustment, int32_t opacity) {
    ColorMatrix5 m{};
    if (grayScale == -1) {
        m[0][0] = m[1][1] = m[2][2] = 1.0f;
    } else {
        // Every output colour is the weighted sum of the inputs.
        modParsers::GrayScaleWeights w = modParsers::GetGrayScaleWeights(grayScale);
        const float rows[3] = {w.red, w.green, w.blue};
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) m[row][column] = rows[row];
    }
    m[3][3] = static_cast<float>(opacity) / 100.0f;
    m[4][4] = 1.0f;
    if (lightAdjustment != 0.0f) m[4][0] = m[4][1] = m[4][2] = lightAdjustment / 100.0f;
    return m;
}

int DrawFlipType(int32_t destWidth, int32_t destHeight) {
    int flip = destHeight < 0 ? 0 : 6;
    if (destWidth < 0) flip ^= 4;
    return flip;
}
