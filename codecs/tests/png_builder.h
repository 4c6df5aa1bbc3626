// Builds small PNG files for tests, independently of the code under test:
// its own CRC-32, Adler-32 and stored DEFLATE blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_png {

using Bytes = std::vector<uint8_t>;

inline uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

inline void Put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// A zlib stream of stored blocks, with a correct Adler-32.
inline Bytes ZlibStored(const Bytes& raw) {
    Bytes out = {0x78, 0x01};
    size_t done = 0;
    do {
        size_t n = std::min<size_t>(raw.size() - done, 65535);
        bool final = done + n == raw.size();
        out.push_back(final ? 1 : 0);
        out.push_back(n & 0xFF), out.push_back(n >> 8);
        out.push_back(~n & 0xFF), out.push_back((~n >> 8) & 0xFF);
        out.insert(out.end(), raw.begin() + done, raw.begin() + done + n);
        done += n;
    } while (done < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    Put32(out, b << 16 | a);
    return out;
}

class Builder {
public:
    Builder() : bytes_{137, 80, 78, 71, 13, 10, 26, 10} {}

    // A chunk with its correct checksum, or with the one given.
    Builder& Chunk(const std::string& type, const Bytes& data, const uint32_t* crc = nullptr) {
        Put32(bytes_, static_cast<uint32_t>(data.size()));
        size_t start = bytes_.size();
        bytes_.insert(bytes_.end(), type.begin(), type.end());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        Put32(bytes_, crc ? *crc : Crc32(bytes_.data() + start, data.size() + 4));
        return *this;
    }
    Builder& Header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, uint8_t interlace = 0,
                    uint8_t compression = 0) {
        Bytes d;
        Put32(d, width);
        Put32(d, height);
        d.insert(d.end(), {depth, colourType, compression, 0, interlace});
        return Chunk("IHDR", d);
    }
    // The image data (filter bytes included), in as many IDAT chunks as asked.
    Builder& Data(const Bytes& raw, size_t pieces = 1) {
        Bytes z = ZlibStored(raw);
        size_t size = (z.size() + pieces - 1) / pieces;
        for (size_t at = 0; at < z.size(); at += size)
            Chunk("IDAT", Bytes(z.begin() + at, z.begin() + std::min(z.size(), at + size)));
        return *this;
    }
    Bytes End() {
        Chunk("IEND", {});
        return bytes_;
    }

private:
    Bytes bytes_;
};

// Scan lines with filter 0 of 8-bit samples, split into the Adam7 passes.
inline Bytes Adam7(const Bytes& samples, int width, int height, int bytesPerPixel) {
    static const int passes[7][4] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                     {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};
    Bytes out;
    for (const auto& p : passes) {
        for (int y = p[0]; y < height; y += p[2]) {
            if (p[1] >= width) break;
            out.push_back(0);
            for (int x = p[1]; x < width; x += p[3])
                for (int b = 0; b < bytesPerPixel; ++b) out.push_back(samples[(y * width + x) * bytesPerPixel + b]);
        }
    }
    return out;
}

// The same samples as plain scan lines with filter 0.
inline Bytes Plain(const Bytes& samples, int width, int height, int bytesPerPixel) {
    Bytes out;
    for (int y = 0; y < height; ++y) {
        out.push_back(0);
        out.insert(out.end(), samples.begin() + y * width * bytesPerPixel,
                   samples.begin() + (y + 1) * width * bytesPerPixel);
    }
    return out;
}

}  // namespace test_png
