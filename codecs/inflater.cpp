// Table-driven: each Huffman code is decoded by one lookup in a primary table
// indexed by the next bits, and a second lookup for codes longer than the
// primary table's width.
#include "codecs/inflater.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxCodeLength = 15;
constexpr int kLitLenPrimaryBits = 10;
constexpr int kDistPrimaryBits = 8;
constexpr int kCodeLengthPrimaryBits = 7;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Codes 30 and 31 belong to Deflate64; valid DEFLATE data never uses them.
constexpr uint32_t kDistBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                    49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                    2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6,
                                    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A table entry: symbol << 16 | subtable bits << 8 | code length. A code
// length of 0 marks bits that no code starts with. In the primary table an
// entry with subtable bits points at a subtable starting at index "symbol",
// and its code length is the primary width.
struct HuffmanTable {
    std::vector<uint32_t> entries;
    int primaryBits = 0;

    static uint32_t Leaf(uint32_t symbol, uint32_t length) { return symbol << 16 | length; }

    // False for lengths that over-subscribe the code space. An incomplete set
    // is accepted; its unused bit patterns decode as errors.
    bool Build(const uint8_t* lengths, int count, int primary) {
        primaryBits = primary;
        std::array<uint16_t, kMaxCodeLength + 1> perLength{};
        for (int i = 0; i < count; ++i) ++perLength[lengths[i]];
        perLength[0] = 0;
        int left = 1;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            left = (left << 1) - perLength[len];
            if (left < 0) return false;
        }
        std::array<uint16_t, kMaxCodeLength + 2> nextCode{};
        for (int len = 1; len <= kMaxCodeLength; ++len) nextCode[len + 1] = (nextCode[len] + perLength[len]) << 1;

        // Codes are stored bit-reversed: the stream sends their first bit first.
        std::vector<uint16_t> reversed(count);
        const uint32_t primaryMask = (1u << primary) - 1;
        std::vector<uint8_t> subBits(size_t{1} << primary, 0);
        for (int symbol = 0; symbol < count; ++symbol) {
            int len = lengths[symbol];
            if (len == 0) continue;
            uint32_t code = nextCode[len]++, rev = 0;
            for (int i = 0; i < len; ++i) rev |= ((code >> i) & 1u) << (len - 1 - i);
            reversed[symbol] = static_cast<uint16_t>(rev);
            if (len > primary) {
                uint8_t& bits = subBits[rev & primaryMask];
                bits = std::max<uint8_t>(bits, static_cast<uint8_t>(len - primary));
            }
        }

        entries.assign(size_t{1} << primary, 0);
        for (uint32_t prefix = 0; prefix <= primaryMask; ++prefix) {
            if (subBits[prefix] == 0) continue;
            entries[prefix] = static_cast<uint32_t>(entries.size()) << 16 | uint32_t{subBits[prefix]} << 8 |
                              static_cast<uint32_t>(primary);
            entries.resize(entries.size() + (size_t{1} << subBits[prefix]), 0);
        }
        for (int symbol = 0; symbol < count; ++symbol) {
            int len = lengths[symbol];
            if (len == 0) continue;
            uint32_t rev = reversed[symbol];
            if (len <= primary) {
                for (uint32_t i = rev; i <= primaryMask; i += 1u << len) entries[i] = Leaf(symbol, len);
            } else {
                uint32_t pointer = entries[rev & primaryMask];
                uint32_t start = pointer >> 16, size = 1u << ((pointer >> 8) & 0xFF);
                for (uint32_t i = rev >> primary; i < size; i += 1u << (len - primary))
                    entries[start + i] = Leaf(symbol, len);
            }
        }
        return true;
    }
};

class Inflater {
public:
    Inflater(std::span<const uint8_t> in, std::span<uint8_t> out) : in_(in), out_(out) {}

    bool Run() {
        if (in_.size() < 2) return false;
        position_ = 2;  // the zlib header, untested
        for (;;) {
            if (!Need(3)) return false;
            bool final = Take(1);
            uint32_t type = Take(2);
            bool ok = type == 0 ? Stored() : type == 1 ? Fixed() : type == 2 ? Dynamic() : false;
            if (!ok) return false;
            if (full_ || final) return true;
        }
    }

private:
    // --- bits, least significant first -------------------------------------

    // Tops the bit buffer up to at least 56 bits while the input lasts. With
    // 8 bytes to spare it loads a whole word: the bits above the count then
    // hold the next input bits, which a later load writes again unchanged.
    void Refill() {
        if constexpr (std::endian::native == std::endian::little) {
            if (in_.size() - position_ >= 8) {
                uint64_t word;
                std::memcpy(&word, in_.data() + position_, 8);
                bits_ |= word << bitCount_;
                position_ += static_cast<size_t>((63 - bitCount_) >> 3);
                bitCount_ |= 56;
                return;
            }
        }
        while (bitCount_ <= 56 && position_ < in_.size()) {
            bits_ |= uint64_t{in_[position_++]} << bitCount_;
            bitCount_ += 8;
        }
    }
    // Whether n more bits exist in the input.
    bool Need(int n) {
        if (bitCount_ < n) Refill();
        return bitCount_ >= n;
    }
    uint32_t Peek(int n) const { return static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1)); }
    void Drop(int n) {
        bits_ >>= n;
        bitCount_ -= n;
    }
    uint32_t Take(int n) {
        uint32_t value = Peek(n);
        Drop(n);
        return value;
    }

    // The next symbol of a table, or -1 when the bits match no code or the
    // input ends inside the code.
    int Decode(const HuffmanTable& table) {
        if (bitCount_ < kMaxCodeLength) Refill();
        uint32_t entry = table.entries[Peek(table.primaryBits) & ((1u << table.primaryBits) - 1)];
        uint32_t sub = (entry >> 8) & 0xFF;
        if (sub != 0) {
            uint32_t index = static_cast<uint32_t>(bits_ >> table.primaryBits) & ((1u << sub) - 1);
            entry = table.entries[(entry >> 16) + index];
        }
        int length = static_cast<int>(entry & 0xFF);
        if (length == 0 || length > bitCount_) return -1;
        Drop(length);
        return static_cast<int>(entry >> 16);
    }

    // --- blocks --------------------------------------------------------------

    bool Stored() {
        // Back to whole bytes: return the unread bytes of the bit buffer.
        Drop(bitCount_ % 8);
        position_ -= static_cast<size_t>(bitCount_ / 8);
        bits_ = 0;
        bitCount_ = 0;
        if (in_.size() - position_ < 4) return false;
        uint32_t length = in_[position_] | in_[position_ + 1] << 8;
        uint32_t check = in_[position_ + 2] | in_[position_ + 3] << 8;
        position_ += 4;
        if (length != (~check & 0xFFFF)) return false;
        if (length > in_.size() - position_ || length > out_.size() - written_) return false;
        std::memcpy(out_.data() + written_, in_.data() + position_, length);
        written_ += length;
        position_ += length;
        full_ = written_ == out_.size();
        return true;
    }

    bool Fixed() {
        if (fixedLitLen_.entries.empty()) {
            uint8_t lengths[288 + 32];
            std::fill(lengths, lengths + 144, 8);
            std::fill(lengths + 144, lengths + 256, 9);
            std::fill(lengths + 256, lengths + 280, 7);
            std::fill(lengths + 280, lengths + 288, 8);
            std::fill(lengths + 288, lengths + 320, 5);
            fixedLitLen_.Build(lengths, 288, kLitLenPrimaryBits);
            fixedDist_.Build(lengths + 288, 32, kDistPrimaryBits);
        }
        return Codes(fixedLitLen_, fixedDist_);
    }

    bool Dynamic() {
        if (!Need(14)) return false;
        int literalCount = static_cast<int>(Take(5)) + 257;
        int distanceCount = static_cast<int>(Take(5)) + 1;
        int codeLengthCount = static_cast<int>(Take(4)) + 4;
        if (literalCount > 286 || distanceCount > 32) return false;

        uint8_t codeLengthLengths[19] = {};
        for (int i = 0; i < codeLengthCount; ++i) {
            if (!Need(3)) return false;
            codeLengthLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(Take(3));
        }
        HuffmanTable codeLengths;
        if (!codeLengths.Build(codeLengthLengths, 19, kCodeLengthPrimaryBits)) return false;

        uint8_t lengths[286 + 32] = {};
        const int total = literalCount + distanceCount;
        for (int i = 0; i < total;) {
            int symbol = Decode(codeLengths);
            if (symbol < 0) return false;
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            int repeat = 0;
            uint8_t value = 0;
            if (symbol == 16) {
                if (i == 0 || !Need(2)) return false;
                value = lengths[i - 1];
                repeat = 3 + static_cast<int>(Take(2));
            } else if (symbol == 17) {
                if (!Need(3)) return false;
                repeat = 3 + static_cast<int>(Take(3));
            } else {
                if (!Need(7)) return false;
                repeat = 11 + static_cast<int>(Take(7));
            }
            if (repeat > total - i) return false;
            std::fill(lengths + i, lengths + i + repeat, value);
            i += repeat;
        }
        if (lengths[256] == 0) return false;  // a block must be able to end
        HuffmanTable literals, distances;
        if (!literals.Build(lengths, literalCount, kLitLenPrimaryBits) ||
            !distances.Build(lengths + literalCount, distanceCount, kDistPrimaryBits))
            return false;
        return Codes(literals, distances);
    }

    bool Codes(const HuffmanTable& literals, const HuffmanTable& distances) {
        uint8_t* out = out_.data();
        const size_t end = out_.size();
        for (;;) {
            int symbol = Decode(literals);
            if (symbol < 0) return false;
            if (symbol < 256) {
                out[written_++] = static_cast<uint8_t>(symbol);
                if (written_ == end) return full_ = true;
                continue;
            }
            if (symbol == 256) return true;
            symbol -= 257;
            if (symbol >= 29) return false;
            if (!Need(kLengthExtra[symbol])) return false;
            size_t length = kLengthBase[symbol] + Take(kLengthExtra[symbol]);
            int distanceSymbol = Decode(distances);
            if (distanceSymbol < 0) return false;
            if (!Need(kDistExtra[distanceSymbol])) return false;
            size_t distance = kDistBase[distanceSymbol] + Take(kDistExtra[distanceSymbol]);
            if (distance > written_) return false;  // before the start of the output

            size_t count = std::min(length, end - written_);
            const uint8_t* from = out + written_ - distance;
            uint8_t* to = out + written_;
            // Overlapping copies repeat recent output.
            if (distance >= count) {
                std::memcpy(to, from, count);
            } else if (distance == 1) {
                std::memset(to, *from, count);
            } else if (distance >= 8) {
                // Each 8-byte step reads only bytes written before it.
                size_t i = 0;
                for (; i + 8 <= count; i += 8) std::memcpy(to + i, from + i, 8);
                for (; i < count; ++i) to[i] = from[i];
            } else {
                for (size_t i = 0; i < count; ++i) to[i] = from[i];
            }
            written_ += count;
            if (written_ == end) return full_ = true;
        }
    }

    std::span<const uint8_t> in_;
    std::span<uint8_t> out_;
    size_t position_ = 0;
    uint64_t bits_ = 0;
    int bitCount_ = 0;
    size_t written_ = 0;
    bool full_ = false;
    HuffmanTable fixedLitLen_, fixedDist_;
};

}  // namespace

bool InflateZlibStream(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (out.empty()) return true;
    return Inflater(in, out).Run();
}
