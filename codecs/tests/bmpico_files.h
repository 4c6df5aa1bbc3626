// The committed BMP, ICO and CUR test files and their expected decodes
// (bmpico.golden, made with make_bmp_ico.py from ImageMagick's decodes).
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "codecs/tests/pngsuite_golden.h"
#include "imagecore/c32bppDIB.h"

namespace bmpico {

struct Expected {
    std::string file;  // relative to the data folder
    int entry = 0;     // 0 for bitmaps, the directory entry from 1 for icons
    bool known = false;  // false: no reference decode
    int width = 0, height = 0;
    uint64_t hash = 0;
};

inline std::string DataFolder() { return MENDLOW_CODECS_DATA; }

inline std::vector<uint8_t> ReadFile(const std::string& relative) {
    std::ifstream in(DataFolder() + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::vector<Expected> ReadGolden() {
    std::vector<Expected> golden;
    std::ifstream in(DataFolder() + "/bmpico.golden");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Expected e;
        std::string width, height, hash;
        if (!(fields >> e.file >> e.entry >> width >> height >> hash)) continue;
        e.known = hash != "-";
        if (e.known) e.width = std::stoi(width), e.height = std::stoi(height), e.hash = std::stoull(hash, nullptr, 16);
        golden.push_back(e);
    }
    return golden;
}

// Premultiplied BGRA, top row first.
inline std::vector<uint8_t> TopRowFirst(const c32bppDIB& image) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < image.Height(); ++y)
        pixels.insert(pixels.end(), image.Pixels().PictureRow(y), image.Pixels().PictureRow(y) + image.scanWidth());
    return pixels;
}

}  // namespace bmpico
