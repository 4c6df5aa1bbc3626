#include "codecs/inflater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "codecs/zlib_binding.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Deflate(const Bytes& data, int level) {
    ZlibBinding zlib;
    Bytes packed(data.size() * 2 + 64);
    uint32_t size = static_cast<uint32_t>(packed.size());
    EXPECT_EQ(zlib.Compress2(packed.data(), size, data.data(), static_cast<uint32_t>(data.size()), level), 0);
    packed.resize(size);
    return packed;
}

int FirstBlockType(const Bytes& stream) { return (stream[2] >> 1) & 3; }

Bytes Inflate(const Bytes& stream, size_t expected, bool& ok) {
    Bytes out(expected, 0xEE);
    ok = InflateZlibStream(stream, out);
    return out;
}

Bytes Varied(size_t size) {
    Bytes data(size);
    uint32_t state = 12345;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245 + 12345;
        data[i] = static_cast<uint8_t>(i % 97 < 60 ? (state >> 24) % 16 + 'a' : data[i - 13 > i ? 0 : i - 13]);
    }
    return data;
}

// Bytes whose frequencies halve every eighth value: codes of 2 to 15 bits,
// the long ones through subtables, with few matches.
Bytes Skewed(size_t size) {
    Bytes data(size);
    uint32_t state = 777;
    for (uint8_t& b : data) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        b = static_cast<uint8_t>(std::countr_zero(state | 1u << 31) * 8 + (state >> 29));
    }
    return data;
}

// Writes a DEFLATE bit stream: plain values least significant bit first,
// Huffman codes most significant bit first.
class BitWriter {
public:
    BitWriter() : bytes_{0x78, 0x9C} {}
    void Bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
    }
    void Code(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
    }
    void FixedLiteral(uint8_t value) { value < 144 ? Code(0x30 + value, 8) : Code(0x190 + value - 144, 9); }
    void FixedEnd() { Code(0, 7); }
    Bytes Done() { return bytes_; }

private:
    void Bit(uint32_t bit) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() |= static_cast<uint8_t>(bit << used_);
        used_ = (used_ + 1) % 8;
    }
    Bytes bytes_;
    int used_ = 0;
};

TEST(Inflater, StoredFixedAndDynamicBlocks) {
    struct Case {
        Bytes data;
        int level;
        int blockType;
    } cases[] = {
        {Varied(70000), 0, 0},  // several stored blocks
        {Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'h', 'e', 'l', 'l', 'o', ' ', 'h', 'e', 'l', 'l', 'o'}, 9, 1},
        {Varied(200000), 9, 2},
        {Skewed(100000), 9, 2},
    };
    for (const Case& c : cases) {
        Bytes stream = Deflate(c.data, c.level);
        ASSERT_EQ(FirstBlockType(stream), c.blockType);
        bool ok = false;
        EXPECT_EQ(Inflate(stream, c.data.size(), ok), c.data);
        EXPECT_TRUE(ok) << c.blockType;
    }
}

TEST(Inflater, OutputStopsAtTheExpectedSizeWithoutError) {
    Bytes data = Varied(50000);
    Bytes stream = Deflate(data, 9);
    bool ok = false;
    Bytes out = Inflate(stream, 1000, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, Bytes(data.begin(), data.begin() + 1000));

    // Expecting more than the data holds: the rest is zero-filled.
    out = Inflate(Deflate({1, 2, 3}, 9), 6, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 0, 0, 0}));
}

TEST(Inflater, TruncatedOrDamagedStreamsFailWithinTheirBuffers) {
    Bytes data = Varied(100000);
    for (int level : {0, 9}) {
        Bytes stream = Deflate(data, level);
        for (size_t cut : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, stream.size() / 2, stream.size() - 12}) {
            bool ok = true;
            Inflate(Bytes(stream.begin(), stream.begin() + cut), data.size(), ok);
            EXPECT_FALSE(ok) << "level " << level << " cut at " << cut;
        }
    }
    Bytes stored = Deflate(Varied(100), 0);
    stored[5] ^= 0xFF;  // the length no longer matches its complement
    bool ok = true;
    Inflate(stored, 100, ok);
    EXPECT_FALSE(ok);
}

TEST(Inflater, RejectsDistancesBeforeTheStartAndBlockType3) {
    BitWriter before;
    before.Bits(1, 1);
    before.Bits(1, 2);  // fixed codes
    before.Code(1, 7);  // length 3
    before.Code(0, 5);  // distance 1, with nothing written yet
    bool ok = true;
    Inflate(before.Done(), 10, ok);
    EXPECT_FALSE(ok);

    BitWriter reserved;
    reserved.Bits(1, 1);
    reserved.Bits(3, 2);
    reserved.Bits(0, 16);
    Inflate(reserved.Done(), 10, ok);
    EXPECT_FALSE(ok);
}

TEST(Inflater, FixedCodesWithOverlappingCopy) {
    BitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    w.FixedLiteral('a');
    w.FixedLiteral('b');
    w.Code(6, 7);                               // symbol 262: length 8
    w.Code(1, 5);                               // distance 2: repeats "ab"
    w.FixedLiteral(200);
    w.FixedEnd();
    bool ok = false;
    Bytes out = Inflate(w.Done(), 11, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, (Bytes{'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 200}));
}

TEST(Inflater, AcceptsTheDeflate64DistanceCodes) {
    // A stored block of 40000 bytes, then a copy from 32769 bytes back (code 30).
    Bytes data = Varied(40000);
    Bytes stream = {0x78, 0x01, 0x00, 0x40, 0x9C, 0xBF, 0x63};
    stream.insert(stream.end(), data.begin(), data.end());
    BitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    w.Code(1, 7);   // length 3
    w.Code(30, 5);  // distance 32769 + extra
    w.Bits(0, 14);
    w.FixedEnd();
    Bytes tail = w.Done();
    stream.insert(stream.end(), tail.begin() + 2, tail.end());
    bool ok = false;
    Bytes out = Inflate(stream, 40003, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 40000), data);
    EXPECT_EQ(out[40000], data[40000 - 32769]);
    EXPECT_EQ(out[40002], data[40002 - 32769]);
}

// The windowed inflater's parts joined, with zeros up to total as a single
// buffer would have them.
Bytes InflateWindowed(const Bytes& stream, size_t total, size_t partBytes, bool& ok) {
    WindowedInflater inflater(stream, total, partBytes);
    Bytes out;
    std::span<const uint8_t> part;
    while ((ok = inflater.Next(part)) && !part.empty()) {
        EXPECT_LE(part.size(), 65536 + partBytes) << "beyond the window";
        out.insert(out.end(), part.begin(), part.end());
    }
    if (ok) out.resize(total, 0);
    return out;
}

TEST(Inflater, WindowedPartsJoinToTheSingleBufferResult) {
    const Bytes varied = Varied(150000);
    const Bytes dynamic = Deflate(varied, 9), stored = Deflate(varied, 0);
    Bytes overlap, deflate64;
    {
        BitWriter w;  // a long overlapping match: "ab" repeated 258 times over
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedLiteral('a');
        w.FixedLiteral('b');
        w.Code(0xC5, 8);  // symbol 285: length 258
        w.Code(1, 5);     // distance 2
        w.Code(0xC5, 8);
        w.Code(1, 5);
        w.FixedEnd();
        overlap = w.Done();
    }
    {
        // A stored block of 65535 bytes, then a copy from 65536 bytes back,
        // the longest a code can reach, once the window has slid.
        deflate64 = {0x78, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00};
        deflate64.insert(deflate64.end(), varied.begin(), varied.begin() + 65535);
        deflate64.insert(deflate64.end(), {0x00, 0x01, 0x00, 0xFE, 0xFF, 0x5A});  // 1 more stored byte
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.Code(0xC5, 8);  // length 258
        w.Code(31, 5);    // distance 49153 + 16383
        w.Bits(16383, 14);
        w.FixedEnd();
        Bytes tail = w.Done();
        deflate64.insert(deflate64.end(), tail.begin() + 2, tail.end());
    }
    Bytes damaged = stored;
    damaged[stored.size() / 2] ^= 0x55;  // lands in a stored length, or in data and stays valid
    struct Case {
        const char* name;
        Bytes stream;
        size_t total;
    } cases[] = {
        {"dynamic", dynamic, varied.size()},
        {"dynamic, bound below the data", dynamic, 70001},
        {"dynamic, bound above the data", dynamic, varied.size() + 999},
        {"dynamic, cut short", Bytes(dynamic.begin(), dynamic.begin() + dynamic.size() / 2), varied.size()},
        {"stored", stored, varied.size()},
        {"stored, bound inside a block", stored, 100000},
        {"stored, damaged", damaged, varied.size()},
        {"overlapping matches", overlap, 600},
        {"longest distance", deflate64, 65536 + 258},
        {"empty", Bytes{0x78}, 10},
    };
    for (const Case& c : cases) {
        bool wholeOk = false;
        const Bytes whole = Inflate(c.stream, c.total, wholeOk);
        for (size_t partBytes : {size_t{1}, size_t{7}, size_t{257}, size_t{4096}, size_t{1} << 20}) {
            if (partBytes == 1 && c.total > 70000) continue;  // one slide per byte: slow, and 7 covers it
            bool ok = !wholeOk;
            Bytes parts = InflateWindowed(c.stream, c.total, partBytes, ok);
            EXPECT_EQ(ok, wholeOk) << c.name << ", parts of " << partBytes;
            if (ok && wholeOk) {
                EXPECT_TRUE(parts == whole) << c.name << ", parts of " << partBytes;
            }
        }
    }
}

}  // namespace

