// The benchmarks' generated pictures (bench_images.h) as PNG files written by
// libpng, at any size, plain or interlaced.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

#include "codecs/bench/bench_images.h"

namespace bench_images {

inline void AppendToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

inline std::vector<uint8_t> EncodeWithLibpng(int size, int colourType, int channels, bool photo, bool interlaced) {
    std::vector<std::vector<uint8_t>> rows(size, std::vector<uint8_t>(size_t(size) * channels));
    uint32_t noise = 1;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            for (int c = 0; c < channels; ++c)
                rows[y][x * channels + c] = StoredSample(photo, colourType == PNG_COLOR_TYPE_PALETTE, x, y, c, noise);
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    png_set_IHDR(png, info, size, size, 8, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[256];
        for (int i = 0; i < 256; ++i) PaletteEntry(i, palette[i].red, palette[i].green, palette[i].blue);
        png_set_PLTE(png, info, palette, 256);
    }
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace bench_images
