// Generated images for the PNG encoder's tests, one per colour type the
// encoder can choose, and a reader for the chunks of its output.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codecs/tests/png_builder.h"
#include "imagecore/c32bppDIB.h"

namespace test_encoder {

using Bytes = std::vector<uint8_t>;

struct Bgra {
    uint8_t b, g, r, a;
};

// Fills picture pixel (x, y), y = 0 at the top, from pixel(x, y).
inline void Fill(c32bppDIB& image, int width, int height, bool alpha, const std::function<Bgra(int, int)>& pixel) {
    image.InitializeDIB(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Bgra p = pixel(x, y);
            std::memcpy(image.Pixels().PictureRow(y) + x * 4, &p, 4);
        }
    image.SetAlpha(alpha);
}

// A premultiplied pixel from straight colours, truncating as the decoders do.
inline Bgra Premultiplied(int r, int g, int b, int a) {
    return {uint8_t(b * a / 255), uint8_t(g * a / 255), uint8_t(r * a / 255), uint8_t(a)};
}

inline uint32_t Noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

struct Case {
    std::string name;
    int colourType;  // what the encoder is expected to choose
    bool hasTrns;
    int width, height;
    bool alpha;
    std::function<Bgra(int, int)> pixel;
};

// Every outcome of the colour choice, at sizes that leave partial vectors.
inline std::vector<Case> Cases() {
    auto hash = [](int x, int y, int salt) {  // a mixing finaliser: every bit depends on x, y, salt
        uint32_t h = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u ^ uint32_t(salt) * 0xC2B2AE3Du;
        h ^= h >> 16, h *= 0x7FEB352Du, h ^= h >> 15, h *= 0x846CA68Bu, h ^= h >> 16;
        return h;
    };
    return {
        {"palette", 3, false, 37, 21, false,
         [=](int x, int y) {
             uint32_t h = hash(x, y, 1) % 200;
             return Bgra{uint8_t(h), uint8_t(h * 3), uint8_t(255 - h), 255};
         }},
        {"palette_trns", 3, true, 19, 33, true,
         [=](int x, int y) {
             uint32_t h = hash(x, y, 2) % 60;
             int a = h < 10 ? 0 : h < 30 ? 40 + int(h) * 5 : 255;
             return a == 0 ? Bgra{0, 0, 0, 0} : Premultiplied(int(h) * 4, 200 - int(h), 30, a);
         }},
        {"grey_key", 0, true, 23, 17, true,
         [=](int x, int y) {
             uint32_t h = hash(x, y, 3) % 120;
             if (h < 15) return Bgra{0, 0, 0, 0};
             auto v = uint8_t(h * 2);
             return Bgra{v, v, v, 255};
         }},
        {"grey", 0, false, 1, 9, false,
         [=](int x, int y) {
             auto v = uint8_t(hash(x, y, 4) % 256);
             return Bgra{v, v, v, 255};
         }},
        {"rgb_key", 2, true, 29, 31, true,
         [=](int x, int y) {
             uint32_t h = hash(x, y, 5);
             if (h % 9 == 0) return Bgra{0, 0, 0, 0};
             return Bgra{uint8_t(h % 200), uint8_t(h >> 8), uint8_t(h >> 16), 255};
         }},
        {"rgb", 2, false, 41, 13, false,
         [=](int x, int y) {
             uint32_t h = hash(x, y, 6);
             return Bgra{uint8_t(h), uint8_t(h >> 8), uint8_t(h >> 16), 255};
         }},
        {"rgba", 6, false, 35, 27, true,
         [=](int x, int y) {
             uint32_t h = hash(x, y, 7);
             int a = h % 5 == 0 ? 0 : h % 5 == 1 ? 255 : int(h >> 24);
             return Premultiplied(int(h & 255), int(h >> 8 & 255), int(h >> 16 & 255), a);
         }},
        {"rgba_wide", 6, false, 130, 3, true,
         [=](int x, int y) {
             int a = 1 + (x * 2 + y) % 255;
             return Premultiplied(x * 2 % 256, (x + y * 50) % 256, 255 - x, a);
         }},
    };
}

struct Chunk {
    std::string type;
    Bytes data;
};

// The chunks after the signature; a chunk whose CRC does not match ends the
// list with a chunk named "bad CRC".
inline std::vector<Chunk> Chunks(const Bytes& png) {
    std::vector<Chunk> chunks;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = uint32_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (at + 12 + length > png.size()) break;
        const uint8_t* body = &png[at + 4];
        uint32_t crc = uint32_t{body[4 + length]} << 24 | body[5 + length] << 16 | body[6 + length] << 8 |
                       body[7 + length];
        if (crc != test_png::Crc32(body, length + 4)) {
            chunks.push_back({"bad CRC", {}});
            break;
        }
        chunks.push_back({std::string(body, body + 4), Bytes(body + 4, body + 4 + length)});
        at += 12 + length;
    }
    return chunks;
}

inline const Chunk* Find(const std::vector<Chunk>& chunks, const std::string& type) {
    for (const Chunk& chunk : chunks)
        if (chunk.type == type) return &chunk;
    return nullptr;
}

// What a premultiplied pixel turns into once written and decoded again:
// straight colour truncated, then premultiplied again, truncated.
inline Bgra AfterRoundTrip(Bgra p, bool alpha) {
    if (!alpha) return {p.b, p.g, p.r, 255};
    if (p.a == 0) return {0, 0, 0, 0};
    if (p.a == 255) return p;
    auto again = [&](uint8_t c) { return uint8_t(c * 255 / p.a * p.a / 255); };
    return {again(p.b), again(p.g), again(p.r), p.a};
}

}  // namespace test_encoder
