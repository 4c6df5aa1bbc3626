// Builds small GIF files for tests, independently of the code under test:
// its own LZW encoder (dictionary based) and block writer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace test_gif {

using Bytes = std::vector<uint8_t>;

struct LzwOptions {
    bool clearFirst = true;
    bool endCode = true;
    bool clearWhenFull = true;  // false: keep the full table until the data ends
};

// GIF LZW of the indices, codes packed from the least significant bit.
inline Bytes LzwEncode(const Bytes& indices, int minimumCodeSize, const LzwOptions& options = {}) {
    const uint32_t clear = 1u << minimumCodeSize, end = clear + 1;
    Bytes out;
    uint32_t bits = 0;
    int bitCount = 0;
    int width = 0;
    uint32_t encoderNext = 0, decoderNext = 0;  // the decoder defines each code one step later
    bool afterClear = true;
    std::unordered_map<uint32_t, uint32_t> dictionary;
    auto reset = [&] {
        width = minimumCodeSize + 1;
        encoderNext = decoderNext = clear + 2;
        afterClear = true;
        dictionary.clear();
    };
    auto emit = [&](uint32_t code) {
        bits |= code << bitCount;
        for (bitCount += width; bitCount >= 8; bitCount -= 8, bits >>= 8) out.push_back(static_cast<uint8_t>(bits));
        if (code == clear) return reset();
        if (!afterClear && decoderNext < 4096) ++decoderNext;
        afterClear = false;
        if (decoderNext >= (1u << width) && width < 12) ++width;
    };
    reset();
    if (options.clearFirst) emit(clear);
    if (!indices.empty()) {
        uint32_t prefix = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            const uint32_t key = prefix << 8 | indices[i];
            if (auto found = dictionary.find(key); found != dictionary.end()) {
                prefix = found->second;
                continue;
            }
            emit(prefix);
            if (encoderNext < 4096)
                dictionary[key] = encoderNext++;
            else if (options.clearWhenFull)
                emit(clear);
            prefix = indices[i];
        }
        emit(prefix);
    }
    if (options.endCode) emit(end);
    if (bitCount > 0) out.push_back(static_cast<uint8_t>(bits));
    return out;
}

// Colour-table field of the packed byte for a table of `entries` (a power of two, 2 to 256).
inline uint8_t TableField(size_t entries) {
    uint8_t field = 0;
    while ((size_t{2} << field) < entries) ++field;
    return field;
}

// Stored order of an interlaced image's rows: passes every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
inline Bytes Interlace(const Bytes& indices, int width, int height) {
    Bytes stored;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            stored.insert(stored.end(), indices.begin() + size_t(y) * width, indices.begin() + size_t(y + 1) * width);
    return stored;
}

struct Frame {
    uint16_t left = 0, top = 0, width = 0, height = 0;
    Bytes indices;     // picture order, width x height
    Bytes localTable;  // RGB triples; empty: none
    bool interlaced = false;
    int codeSize = 8;
    LzwOptions lzw;
    size_t subBlock = 255;
};

class Builder {
public:
    Builder(uint16_t screenWidth, uint16_t screenHeight, const Bytes& globalTable = {},
            const std::string& signature = "GIF89a") {
        bytes_.assign(signature.begin(), signature.end());
        Put16(screenWidth), Put16(screenHeight);
        bytes_.push_back(globalTable.empty() ? 0 : static_cast<uint8_t>(0x80 | 0x70 | TableField(globalTable.size() / 3)));
        bytes_.push_back(0), bytes_.push_back(0);
        bytes_.insert(bytes_.end(), globalTable.begin(), globalTable.end());
    }

    Builder& Control(bool transparent, uint8_t index, uint16_t delay = 0) {
        bytes_.insert(bytes_.end(), {0x21, 0xF9, 4, static_cast<uint8_t>(transparent ? 1 : 0)});
        Put16(delay);
        bytes_.insert(bytes_.end(), {index, 0});
        return *this;
    }
    Builder& Application() {  // the looping block of animations
        const std::string id = "NETSCAPE2.0";
        bytes_.insert(bytes_.end(), {0x21, 0xFF, 11});
        bytes_.insert(bytes_.end(), id.begin(), id.end());
        bytes_.insert(bytes_.end(), {3, 1, 0, 0, 0});
        return *this;
    }
    Builder& Comment(const std::string& text) {
        bytes_.insert(bytes_.end(), {0x21, 0xFE, static_cast<uint8_t>(text.size())});
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
        return *this;
    }
    Builder& Raw(const Bytes& raw) {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }
    Builder& Image(const Frame& f) {
        bytes_.push_back(0x2C);
        Put16(f.left), Put16(f.top), Put16(f.width), Put16(f.height);
        uint8_t flags = f.interlaced ? 0x40 : 0;
        if (!f.localTable.empty()) flags |= 0x80 | TableField(f.localTable.size() / 3);
        bytes_.push_back(flags);
        bytes_.insert(bytes_.end(), f.localTable.begin(), f.localTable.end());
        bytes_.push_back(static_cast<uint8_t>(f.codeSize));
        Bytes stored = f.interlaced ? Interlace(f.indices, f.width, f.height) : f.indices;
        return SubBlocks(LzwEncode(stored, f.codeSize, f.lzw), f.subBlock);
    }
    Builder& SubBlocks(const Bytes& data, size_t size = 255) {
        for (size_t at = 0; at < data.size(); at += size) {
            size_t n = std::min(size, data.size() - at);
            bytes_.push_back(static_cast<uint8_t>(n));
            bytes_.insert(bytes_.end(), data.begin() + at, data.begin() + at + n);
        }
        bytes_.push_back(0);
        return *this;
    }
    Bytes Unfinished() const { return bytes_; }
    Bytes End() const {
        Bytes done = bytes_;
        done.push_back(0x3B);
        return done;
    }

private:
    void Put16(uint16_t v) { bytes_.push_back(v & 0xFF), bytes_.push_back(v >> 8); }
    Bytes bytes_;
};

// A table of `entries` distinct colours.
inline Bytes Palette(size_t entries) {
    Bytes table;
    for (size_t i = 0; i < entries; ++i)
        table.insert(table.end(), {static_cast<uint8_t>(i * 7 + 1), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3 + 50)});
    return table;
}

}  // namespace test_gif
