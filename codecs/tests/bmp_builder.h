// Builds small BMP and ICO files for tests, byte by byte.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace test_bmp {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t v) { out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8)); }
inline void Put32(Bytes& out, uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }
inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

struct Info {
    int32_t width = 1, height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    uint32_t size = 40;                   // 40, 52, 56, 108 or 124
    std::array<uint32_t, 3> masks{};      // inside headers of 52 bytes or more
};

inline Bytes InfoHeader(const Info& i) {
    Bytes h;
    Put32(h, i.size), Put32(h, uint32_t(i.width)), Put32(h, uint32_t(i.height));
    Put16(h, 1), Put16(h, i.bitCount), Put32(h, i.compression);
    Put32(h, 0), Put32(h, 2835), Put32(h, 2835), Put32(h, i.coloursUsed), Put32(h, 0);
    if (i.size >= 52)
        for (uint32_t m : i.masks) Put32(h, m);
    h.resize(i.size, 0);
    return h;
}

inline Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bitCount) {
    Bytes h;
    Put32(h, 12), Put16(h, width), Put16(h, height), Put16(h, 1), Put16(h, bitCount);
    return h;
}

// Colour table entries from 0xRRGGBB values, 4 bytes each.
inline Bytes Quads(const std::vector<uint32_t>& colours) {
    Bytes t;
    for (uint32_t c : colours) Put32(t, c & 0xFFFFFF);
    return t;
}

// File header, information header, table (palette or masks), an optional
// gap, then the pixels.
inline Bytes File(const Bytes& header, const Bytes& table, const Bytes& pixels, uint32_t gap = 0) {
    const uint32_t offset = uint32_t(14 + header.size() + table.size() + gap);
    Bytes f = {'B', 'M'};
    Put32(f, offset + uint32_t(pixels.size())), Put32(f, 0), Put32(f, offset);
    Append(f, header), Append(f, table);
    f.resize(f.size() + gap, 0xA5);
    Append(f, pixels);
    return f;
}

// Rows padded to 4 bytes, in the order given.
inline Bytes PaddedRows(const std::vector<Bytes>& rows) {
    Bytes out;
    for (const Bytes& row : rows) {
        Append(out, row);
        out.resize(out.size() + (4 - row.size() % 4) % 4, 0);
    }
    return out;
}

struct IconImage {
    uint8_t width = 0, height = 0;  // 0 means 256
    uint16_t planes = 1, bitCount = 0;
    Bytes data;
};

// An icon (type 1) or cursor (type 2) file holding the images in order.
inline Bytes IconFile(uint16_t type, const std::vector<IconImage>& images) {
    Bytes f;
    Put16(f, 0), Put16(f, type), Put16(f, uint16_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (const IconImage& i : images) {
        f.push_back(i.width), f.push_back(i.height), f.push_back(0), f.push_back(0);
        Put16(f, i.planes), Put16(f, i.bitCount), Put32(f, uint32_t(i.data.size())), Put32(f, offset);
        offset += uint32_t(i.data.size());
    }
    for (const IconImage& i : images) Append(f, i.data);
    return f;
}

// A bitmap icon image: header with doubled height, table, colour rows, AND
// mask rows (rows bottom-up, already padded).
inline Bytes IconBitmap(int32_t width, int32_t height, uint16_t bitCount, const Bytes& table, const Bytes& colour,
                        const Bytes& mask) {
    Info info;
    info.width = width, info.height = 2 * height, info.bitCount = bitCount;
    Bytes d = InfoHeader(info);
    Append(d, table), Append(d, colour), Append(d, mask);
    return d;
}

}  // namespace test_bmp
