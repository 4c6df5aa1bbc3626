// What kind of source an image came from, as every codec and effect reports it.
#pragma once

#include <cstdint>

enum ImageTypes : int32_t {
    imgNone = -1,
    imgBlank = 0,
    imgBitmap = 1,
    imgMetafile = 2,
    imgIcon = 3,
    imgEnhMetafile = 4,
    imgCursor = 5,
    imgBitmapAlpha = 6,
    imgBitmapPremultiplied = 7,
    imgIconAlpha = 8,
    imgGIF = 9,
    imgPNG = 10,
    imgIconPNG = 11,
    imgCursorAlpha = 12,
    imgCheckerBoard = 64,
};
