// Expected PngSuite decodes, as "name width height hash" lines, the hash an
// FNV-1a of the premultiplied BGRA pixels, top row first. The native test
// checks every line against libpng; the decoder is checked against the
// lines on every target, Wine included.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pngsuite {

struct Expected {
    int width = 0;
    int height = 0;
    uint64_t hash = 0;
};

inline uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

inline std::map<std::string, Expected> ReadGolden(const std::string& path) {
    std::map<std::string, Expected> golden;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name;
        Expected e;
        if (fields >> name >> e.width >> e.height >> std::hex >> e.hash) golden[name] = e;
    }
    return golden;
}

}  // namespace pngsuite
