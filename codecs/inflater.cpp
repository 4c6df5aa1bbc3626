// Table-driven: each Huffman code is decoded by one lookup in a primary table
// indexed by the next bits, and a second lookup for codes longer than the
// primary table's width. An entry carries everything the decoder needs next
// (one or two literal bytes, or a length/distance base with its extra-bit
// count), so a fast loop can run while input and output both have margin,
// with one bit buffer refill per match or per run of up to three literal
// entries. Near the ends of the buffers a careful path checks every step.
#include "codecs/inflater.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

namespace {

constexpr int kMaxCodeLength = 15;
constexpr int kLitLenPrimaryBits = 10;  // measured against 9, 11 and 12
constexpr int kDistPrimaryBits = 8;
constexpr int kCodeLengthPrimaryBits = 7;
static_assert(kDistPrimaryBits <= kLitLenPrimaryBits && kCodeLengthPrimaryBits <= kLitLenPrimaryBits);
// The fast loop's literal run: three primary entries and a primary lookup
// within one refill of at least 56 bits.
static_assert(4 * kLitLenPrimaryBits <= 56);

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

// A table entry: value << 16 | flags | code length << 8 | bits to drop, where
// the bits to drop are the code length plus the symbol's extra bits. The
// value is a literal byte, a length or distance base, a code-length symbol,
// or for a subtable pointer the subtable's start (its code length field then
// holds the subtable's width).
constexpr uint32_t kLiteral = 0x8000;
constexpr uint32_t kSubtable = 0x4000;
constexpr uint32_t kExceptional = 0x2000;  // end of block (value 0) or no valid symbol (value 1)
// Two literals whose codes together fit the primary width: the value holds
// the first in its low byte and the second above it; the code length is the
// first code's, so that decoding one symbol at a time takes just the first.
constexpr uint32_t kLiteralPair = 0x1000;
constexpr uint32_t kEndOfBlock = kExceptional;
constexpr uint32_t kInvalid = 1u << 16 | kExceptional;

inline uint32_t DropBits(uint32_t entry) { return entry & 0xFF; }
inline uint32_t CodeLength(uint32_t entry) { return (entry >> 8) & 0xF; }
inline uint32_t Value(uint32_t entry) { return entry >> 16; }
// The base plus the extra bits that follow the code in bits.
inline uint32_t BaseWithExtra(uint32_t entry, uint64_t bits) {
    uint32_t low = static_cast<uint32_t>(bits) & ((1u << DropBits(entry)) - 1);
    return Value(entry) + (low >> CodeLength(entry));
}

// What each symbol decodes to, before the code length is added.
struct SymbolEntries {
    std::array<uint32_t, 288> litLen{};
    std::array<uint32_t, 32> dist{};
    std::array<uint32_t, 19> codeLength{};
    SymbolEntries() {
        for (uint32_t s = 0; s < 256; ++s) litLen[s] = s << 16 | kLiteral;
        litLen[256] = kEndOfBlock;
        for (uint32_t s = 0; s < 29; ++s) litLen[257 + s] = uint32_t{kLengthBase[s]} << 16 | kLengthExtra[s];
        litLen[286] = litLen[287] = kInvalid;  // only the fixed code has them
        for (uint32_t s = 0; s < 32; ++s) dist[s] = kDistBase[s] << 16 | kDistExtra[s];
        for (uint32_t s = 0; s < 19; ++s) codeLength[s] = s << 16;
    }
};
const SymbolEntries kSymbols;

// The entry for the code at the bottom of bits; bits must hold a whole code
// or be padded with zeros.
inline uint32_t Lookup(const uint32_t* entries, uint32_t primaryBits, uint64_t bits) {
    uint32_t low = static_cast<uint32_t>(bits);
    uint32_t entry = entries[low & ((1u << primaryBits) - 1)];
    if (entry & kSubtable) entry = entries[Value(entry) + ((low >> primaryBits) & ((1u << CodeLength(entry)) - 1))];
    return entry;
}

// The bits of a byte in reverse order: codes are stored bit-reversed, as the
// stream sends their first bit first.
constexpr std::array<uint8_t, 256> kReversedBytes = [] {
    std::array<uint8_t, 256> r{};
    for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i) r[b] |= static_cast<uint8_t>(((b >> i) & 1) << (7 - i));
    return r;
}();
inline uint32_t Reversed(uint32_t code, uint32_t length) {
    return (uint32_t{kReversedBytes[code & 0xFF]} << 8 | kReversedBytes[code >> 8]) >> (16 - length);
}

// Built again for every block: the entries keep their storage between builds,
// and are not cleared first, since a build writes every entry it can read.
// Small pictures are mostly a block or two, so a build costs as much as the
// decoding: its work follows the symbols, not the table's 2^primary entries.
struct HuffmanTable {
    std::unique_ptr<uint32_t[]> storage;
    size_t capacity = 0;
    int primaryBits = 0;

    // False for lengths that over-subscribe the code space. An incomplete set
    // is accepted; its unused bit patterns decode as errors. With pairs,
    // primary entries whose literal code is followed, within the primary
    // width, by a second whole literal code become literal pairs.
    bool Build(const uint8_t* lengths, int count, int primary, const uint32_t* symbolEntries, bool pairs = false) {
        primaryBits = primary;
        std::array<uint16_t, kMaxCodeLength + 1> perLength{};
        for (int i = 0; i < count; ++i) ++perLength[lengths[i]];
        perLength[0] = 0;
        int left = 1;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            left = (left << 1) - perLength[len];
            if (left < 0) return false;
        }
        // The symbols by code length, then by value: the canonical order, in
        // which each length's codes count up from its first.
        std::array<uint16_t, kMaxCodeLength + 2> firstCode, offset;
        firstCode[1] = 0;
        offset[1] = 0;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            firstCode[len + 1] = static_cast<uint16_t>((firstCode[len] + perLength[len]) << 1);
            offset[len + 1] = static_cast<uint16_t>(offset[len] + perLength[len]);
        }
        std::array<uint16_t, kMaxCodeLength + 2> byLengthStart = offset;
        std::array<uint16_t, 288> sorted;  // only the first offset[16] are set
        for (int symbol = 0; symbol < count; ++symbol)
            if (lengths[symbol] != 0) sorted[offset[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
        const int symbols = byLengthStart[kMaxCodeLength + 1];
        const int firstLong = byLengthStart[std::min(primary, kMaxCodeLength) + 1];

        // Codes longer than the primary width get the widest subtable each
        // primary prefix needs.
        std::array<uint16_t, 288> reversed;  // by symbol, for the codes present
        const uint32_t primaryMask = (1u << primary) - 1;
        std::array<uint8_t, 1u << kLitLenPrimaryBits> subBits;
        for (int k = firstLong; k < symbols; ++k) {
            const uint32_t len = lengths[sorted[k]];
            const uint32_t rev = Reversed(firstCode[len] + (k - byLengthStart[len]), len);
            reversed[sorted[k]] = static_cast<uint16_t>(rev);
            subBits[rev & primaryMask] = 0;
        }
        for (int k = firstLong; k < symbols; ++k) {
            uint8_t& bits = subBits[reversed[sorted[k]] & primaryMask];
            bits = std::max<uint8_t>(bits, static_cast<uint8_t>(lengths[sorted[k]] - primary));
        }

        // Subtables follow the primary table, in the order their prefixes
        // first appear.
        size_t size = size_t{1} << primary;
        std::array<uint32_t, 1u << kLitLenPrimaryBits> pointers;
        for (int k = firstLong; k < symbols; ++k) {
            uint32_t prefix = reversed[sorted[k]] & primaryMask;
            if (subBits[prefix] == 0) continue;  // already placed
            pointers[prefix] = static_cast<uint32_t>(size) << 16 | kSubtable | uint32_t{subBits[prefix]} << 8;
            size += size_t{1} << subBits[prefix];
            subBits[prefix] = 0;
        }
        if (capacity < size) {
            storage = std::make_unique_for_overwrite<uint32_t[]>(size);
            capacity = size;
        }
        uint32_t* const table = storage.get();

        // The primary table grows a length at a time: the entries of shorter
        // codes are copied to the new upper half, where the longer codes'
        // bit patterns then differ from theirs. Patterns no code reaches
        // decode as errors.
        int k = 0;
        uint32_t width = 1;
        while (width < static_cast<uint32_t>(primary) && byLengthStart[width + 1] == 0) ++width;
        std::fill(table, table + (size_t{1} << width), kInvalid);
        for (uint32_t len = width;; ++len) {
            for (uint32_t code = firstCode[len]; k < byLengthStart[len + 1]; ++k, ++code) {
                const uint32_t symbol = sorted[k], rev = Reversed(code, len);
                reversed[symbol] = static_cast<uint16_t>(rev);
                table[rev] = symbolEntries[symbol] + (len << 8) + len;
            }
            if (len == static_cast<uint32_t>(primary)) break;
            std::memcpy(table + (size_t{1} << len), table, sizeof(uint32_t) << len);
        }

        // A complete code writes every subtable entry; an incomplete one
        // starts from entries that decode as errors.
        if (left != 0) std::fill(table + primaryMask + 1, table + size, kInvalid);
        for (int j = firstLong; j < symbols; ++j) {
            uint32_t prefix = reversed[sorted[j]] & primaryMask;
            table[prefix] = pointers[prefix];
        }
        for (int j = firstLong; j < symbols; ++j) {
            const uint32_t symbol = sorted[j], len = lengths[symbol], rev = reversed[symbol];
            const uint32_t leaf = symbolEntries[symbol] + (len << 8) + len;
            const uint32_t pointer = table[rev & primaryMask];
            const uint32_t start = Value(pointer), subWidth = 1u << CodeLength(pointer);
            for (uint32_t i = rev >> primary; i < subWidth; i += 1u << (len - primary)) table[start + i] = leaf;
        }

        if (pairs) PairLiterals(lengths, sorted.data(), symbols, reversed.data());
        return true;
    }

    // Every two literal codes that fit the primary width together, in
    // length order: each pair fills the entries its two codes begin, whose
    // count is at most the table's.
    void PairLiterals(const uint8_t* lengths, const uint16_t* sorted, int symbols, const uint16_t* reversed) {
        const uint32_t primary = static_cast<uint32_t>(primaryBits);
        std::array<uint16_t, 256> literals;
        int literalCount = 0;
        uint32_t shortest = 0;
        for (int k = 0; k < symbols; ++k) {
            const uint32_t symbol = sorted[k], len = lengths[symbol];
            if (shortest != 0 && len > primary - shortest) break;
            if (symbol >= 256) continue;
            if (shortest == 0) {
                shortest = len;
                if (2 * len > primary) return;
            }
            literals[literalCount++] = static_cast<uint16_t>(symbol);
        }
        uint32_t* const table = storage.get();
        for (int a = 0; a < literalCount; ++a) {
            const uint32_t first = literals[a], firstLength = lengths[first];
            if (firstLength + shortest > primary) break;
            for (int b = 0; b < literalCount; ++b) {
                const uint32_t second = literals[b], length = firstLength + lengths[second];
                if (length > primary) break;
                const uint32_t pair = second << 24 | first << 16 | kLiteral | kLiteralPair | firstLength << 8 | length;
                for (uint32_t i = reversed[first] | uint32_t{reversed[second]} << firstLength; i <= (1u << primary) - 1;
                     i += 1u << length)
                    table[i] = pair;
            }
        }
    }

    const uint32_t* Entries() const { return storage.get(); }
    uint32_t Lookup(uint64_t bits) const { return ::Lookup(Entries(), static_cast<uint32_t>(primaryBits), bits); }
};

constexpr size_t kPairsMinOutput = 2048;

// Output margin for the fast loop: the overshoot of a word copy, or a run of
// three literal entries. A match that would run past the limit is cut there,
// so that small outputs are not mostly left to the careful path.
constexpr size_t kOutputMargin = 8;
// Input margin: the fast loop refills with 8-byte loads, at most two between
// two checks.
constexpr size_t kInputMargin = 16;

// Inflates into out up to a limit set per call, and can pause there: the
// input is all in memory, so output space is the only reason to stop. What a
// pause keeps is the bit buffer, the block being decoded, and the rest of a
// match that did not fit.
class Inflater {
public:
    enum class Status { kFull, kEnded, kError };

    // total bounds the whole output: a stored block longer than what is left
    // of it is an error, as it was for a single buffer of that size.
    Inflater(std::span<const uint8_t> in, std::span<uint8_t> out, size_t total) : in_(in), out_(out), total_(total) {}

    // Inflates until out holds limit bytes (kFull) or the final block ends.
    Status Produce(size_t limit) {
        limit_ = limit;
        if (state_ == State::kStart) {
            if (in_.size() < 2) return Fail();
            position_ = 2;  // the zlib header, untested
            state_ = State::kBetweenBlocks;
        }
        if (state_ == State::kError) return Status::kError;
        CopyPending();
        while (written_ < limit_ && state_ != State::kEnded) {
            if (state_ == State::kBetweenBlocks) {
                if (!StartBlock()) return Fail();
            } else if (state_ == State::kStored) {
                CopyStored();
            } else {
                Step step = Codes(*literals_, *distances_);
                if (step == Step::kError) return Fail();
                if (step == Step::kEndOfBlock) EndBlock();
            }
        }
        return state_ == State::kEnded ? Status::kEnded : Status::kFull;
    }

    size_t Written() const { return written_; }
    size_t Produced() const { return discarded_ + written_; }
    // Once the final block has ended: the offset of the input byte after it.
    bool Ended() const { return state_ == State::kEnded; }
    size_t EndOffset() const { return position_ - static_cast<size_t>(bitCount_ / 8); }

    // Moves the last keep bytes of out to its start, for back-references.
    void Slide(size_t keep) {
        keep = std::min(keep, written_);
        std::memmove(out_.data(), out_.data() + written_ - keep, keep);
        discarded_ += written_ - keep;
        written_ = keep;
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

    // The entry of the next code, its code bits dropped, or kInvalid when the
    // bits match no code or the input ends inside the code.
    uint32_t Decode(const HuffmanTable& table) {
        if (bitCount_ < kMaxCodeLength) Refill();
        // Bits past the count are either zeros or the next input bits.
        uint32_t entry = table.Lookup(bits_);
        int length = static_cast<int>(CodeLength(entry));
        if ((entry & kExceptional) && Value(entry) != 0) return kInvalid;
        if (length > bitCount_) return kInvalid;
        Drop(length);
        return entry;
    }
    // The extra bits of a decoded entry added to its base; false when the
    // input ends first.
    bool TakeExtra(uint32_t entry, uint32_t& value) {
        int extra = static_cast<int>(DropBits(entry) - CodeLength(entry));
        if (!Need(extra)) return false;
        value = Value(entry) + Take(extra);
        return true;
    }

    // --- blocks --------------------------------------------------------------

    enum class State { kStart, kBetweenBlocks, kStored, kCodes, kEnded, kError };
    enum class Step { kMore, kEndOfBlock, kError };

    Status Fail() {
        state_ = State::kError;
        return Status::kError;
    }

    bool StartBlock() {
        if (!Need(3)) return false;
        final_ = Take(1) != 0;
        uint32_t type = Take(2);
        return type == 0 ? StartStored() : type == 1 ? StartFixed() : type == 2 ? StartDynamic() : false;
    }

    void EndBlock() { state_ = final_ ? State::kEnded : State::kBetweenBlocks; }

    bool StartStored() {
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
        if (length > in_.size() - position_ || length > total_ - Produced()) return false;
        storedLeft_ = length;
        state_ = State::kStored;
        if (length == 0) EndBlock();
        return true;
    }

    void CopyStored() {
        size_t count = std::min(storedLeft_, limit_ - written_);
        std::memcpy(out_.data() + written_, in_.data() + position_, count);
        written_ += count;
        position_ += count;
        storedLeft_ -= count;
        if (storedLeft_ == 0) EndBlock();
    }

    bool StartFixed() {
        // The same for every stream: built once, when a stream first needs it.
        struct FixedTables {
            HuffmanTable literals, distances;
            FixedTables() {
                uint8_t lengths[288 + 32];
                std::fill(lengths, lengths + 144, 8);
                std::fill(lengths + 144, lengths + 256, 9);
                std::fill(lengths + 256, lengths + 280, 7);
                std::fill(lengths + 280, lengths + 288, 8);
                std::fill(lengths + 288, lengths + 320, 5);
                literals.Build(lengths, 288, kLitLenPrimaryBits, kSymbols.litLen.data());  // no pairs fit
                distances.Build(lengths + 288, 32, kDistPrimaryBits, kSymbols.dist.data());
            }
        };
        static const FixedTables fixed;
        return StartCodes(fixed.literals, fixed.distances);
    }

    bool StartCodes(const HuffmanTable& literals, const HuffmanTable& distances) {
        literals_ = &literals;
        distances_ = &distances;
        state_ = State::kCodes;
        return true;
    }

    bool StartDynamic() {
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
        HuffmanTable& codeLengths = codeLengthTable_;
        if (!codeLengths.Build(codeLengthLengths, 19, kCodeLengthPrimaryBits, kSymbols.codeLength.data()))
            return false;

        uint8_t lengths[286 + 32] = {};
        const int total = literalCount + distanceCount;
        for (int i = 0; i < total;) {
            uint32_t entry = Decode(codeLengths);
            if (entry == kInvalid) return false;
            uint32_t symbol = Value(entry);
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
        HuffmanTable& literals = dynamicLiterals_;
        HuffmanTable& distances = dynamicDistances_;
        // Pairs cost about what they save on 2 KiB of output (16 to 32 px
        // icons measured); the block cannot give more than what is left.
        const bool pairs = total_ - Produced() >= kPairsMinOutput;
        if (!literals.Build(lengths, literalCount, kLitLenPrimaryBits, kSymbols.litLen.data(), pairs) ||
            !distances.Build(lengths + literalCount, distanceCount, kDistPrimaryBits, kSymbols.dist.data()))
            return false;
        return StartCodes(literals, distances);
    }

    // kMore: paused at the limit.
    Step Codes(const HuffmanTable& literals, const HuffmanTable& distances) {
        Step step = FastCodes(literals, distances);
        // The fast loop stops only within its margins of the input's end or
        // of the limit, where it cannot start again.
        while (step == Step::kMore && written_ < limit_) step = CarefulCode(literals, distances);
        return step;
    }

    // Copies count bytes from distance back; overlapping copies repeat recent
    // output.
    void CopyMatch(size_t distance, size_t count) {
        const uint8_t* from = out_.data() + written_ - distance;
        uint8_t* to = out_.data() + written_;
        if (distance >= count) {
            std::memcpy(to, from, count);
        } else {
            for (size_t i = 0; i < count; ++i) to[i] = from[i];
        }
        written_ += count;
    }

    // The part of a match that the last limit cut off.
    void CopyPending() {
        size_t count = std::min(pendingLength_, limit_ - written_);
        CopyMatch(pendingDistance_, count);
        pendingLength_ -= count;
    }

    // One literal or match with every bound checked; a match that runs past
    // the limit keeps its rest pending.
    Step CarefulCode(const HuffmanTable& literals, const HuffmanTable& distances) {
        uint32_t entry = Decode(literals);
        if (entry == kInvalid) return Step::kError;
        if (entry & kLiteral) {
            out_[written_++] = static_cast<uint8_t>(Value(entry));
            return Step::kMore;
        }
        if (entry & kExceptional) return Step::kEndOfBlock;
        uint32_t length = 0, distance = 0;
        if (!TakeExtra(entry, length)) return Step::kError;
        entry = Decode(distances);
        if (entry == kInvalid || !TakeExtra(entry, distance)) return Step::kError;
        // Before the start of the output: out keeps at least the longest
        // distance of history, so this is the start of the stream.
        if (distance > written_) return Step::kError;
        size_t count = std::min<size_t>(length, limit_ - written_);
        CopyMatch(distance, count);
        pendingLength_ = length - count;
        pendingDistance_ = distance;
        return Step::kMore;
    }

    // Literals and matches while the input has kInputMargin bytes and the
    // output kOutputMargin: every refill is a word load, every code is whole
    // in the bit buffer, and word copies may run past a match's end.
    Step FastCodes(const HuffmanTable& literals, const HuffmanTable& distances) {
        if constexpr (std::endian::native != std::endian::little) return Step::kMore;
        if (in_.size() < kInputMargin || limit_ < kOutputMargin) return Step::kMore;
        const uint8_t* inNext = in_.data() + position_;
        const uint8_t* const inLimit = in_.data() + (in_.size() - kInputMargin);
        uint8_t* const outStart = out_.data();
        uint8_t* const outLimit = outStart + (limit_ - kOutputMargin);
        uint8_t* out = outStart + written_;
        uint64_t bits = bits_;
        uint32_t count = static_cast<uint32_t>(bitCount_);
        // Byte stores may alias anything: the tables go into locals, and
        // their widths are constants, which spares registers.
        const uint32_t* const litTable = literals.Entries();
        const uint32_t* const distTable = distances.Entries();
        constexpr uint32_t litMask = (1u << kLitLenPrimaryBits) - 1;
        Step step = Step::kMore;

        auto refill = [&] {
            uint64_t word;
            std::memcpy(&word, inNext, 8);
            bits |= word << count;
            inNext += (63 - count) >> 3;
            count |= 56;
        };
        // The primary entry needs only the primary width of valid bits.
        auto primary = [&] { return litTable[static_cast<uint32_t>(bits) & litMask]; };
        auto consume = [&](uint32_t entry) {
            bits >>= DropBits(entry);
            count -= DropBits(entry);
        };
        // Both bytes are always stored; the second counts only for a pair.
        auto putLiterals = [&](uint32_t entry) {
            uint16_t two = static_cast<uint16_t>(Value(entry));
            std::memcpy(out, &two, 2);
            out += 1 + ((entry & kLiteralPair) != 0);
        };

        if (inNext > inLimit || out > outLimit) return step;
        refill();
        uint32_t entry = primary();
        // Each pass starts with at least 56 bits and the primary entry of
        // the next code; it refills at most twice (16 bytes of input margin).
        for (;;) {
            if (entry & kLiteral) {
                // Up to three primary entries of one or two literals, each
                // within the primary width; the next entry is looked up while
                // the literals are stored.
                consume(entry);
                uint32_t next = primary();
                putLiterals(entry);
                if (next & kLiteral) {
                    consume(next);
                    entry = primary();
                    putLiterals(next);
                    if (entry & kLiteral) {
                        consume(entry);
                        next = primary();  // 56 - 3 x 10 bits remain at least
                        putLiterals(entry);
                    } else {
                        next = entry;
                    }
                }
                entry = next;
                if (inNext > inLimit || out > outLimit) break;
                refill();
                continue;
            }
            if (entry & kSubtable) {
                uint32_t index = static_cast<uint32_t>(bits) >> kLitLenPrimaryBits;
                entry = litTable[Value(entry) + (index & ((1u << CodeLength(entry)) - 1))];
                if (entry & kLiteral) {
                    consume(entry);
                    *out++ = static_cast<uint8_t>(Value(entry));
                    if (inNext > inLimit || out > outLimit) break;
                    refill();
                    entry = primary();
                    continue;
                }
            }
            if (entry & kExceptional) {
                if (Value(entry) == 0) {
                    consume(entry);
                    step = Step::kEndOfBlock;
                } else {
                    step = Step::kError;
                }
                break;
            }
            // A match: length code with extras, distance code with extras,
            // at most 15 + 5 + 15 + 14 bits.
            uint32_t length = BaseWithExtra(entry, bits);
            consume(entry);
            entry = Lookup(distTable, kDistPrimaryBits, bits);
            if (entry & kExceptional) {
                step = Step::kError;
                break;
            }
            uint32_t distance = BaseWithExtra(entry, bits);
            consume(entry);
            if (distance > static_cast<size_t>(out - outStart)) {
                step = Step::kError;  // before the start of the output
                break;
            }
            const uint8_t* from = out - distance;
            uint8_t* const to = out;
            out += length;
            if (inNext > inLimit || out > outLimit) {
                uint8_t* const end = std::min(out, outStart + limit_);
                for (uint8_t* dst = to; dst < end; ++dst, ++from) *dst = *from;
                pendingLength_ = static_cast<size_t>(out - end);
                pendingDistance_ = distance;
                out = end;
                break;
            }
            // The next code is decoded while the match is copied.
            refill();
            entry = primary();
            if (distance >= 8) {
                // Each word reads only bytes written before it; the last may
                // run past the match, into the margin.
                uint8_t* dst = to;
                do {
                    std::memcpy(dst, from, 8);
                    dst += 8;
                    from += 8;
                } while (dst < out);
            } else if (distance == 1) {
                uint64_t repeated = 0x0101010101010101ull * *from;
                uint8_t* dst = to;
                do {
                    std::memcpy(dst, &repeated, 8);
                    dst += 8;
                } while (dst < out);
            } else {
                // A short period (an RGB pixel repeated is 3): the period
                // laid out from phase 0 is stored a word at a time, each
                // store advancing by the whole periods it holds.
                uint8_t pattern[8];
                for (size_t i = 0; i < 8; ++i) pattern[i] = from[i % distance];
                const size_t advance = 8 - 8 % distance;
                uint8_t* dst = to;
                do {
                    std::memcpy(dst, pattern, 8);
                    dst += advance;
                } while (dst < out);
            }
        }

        written_ = static_cast<size_t>(out - outStart);
        position_ = static_cast<size_t>(inNext - in_.data());
        bits_ = bits;
        bitCount_ = static_cast<int>(count);
        return step;
    }

    std::span<const uint8_t> in_;
    std::span<uint8_t> out_;
    const size_t total_;
    size_t limit_ = 0;
    size_t position_ = 0;
    uint64_t bits_ = 0;
    int bitCount_ = 0;
    size_t written_ = 0;    // into out_
    size_t discarded_ = 0;  // slid out of out_ before it
    State state_ = State::kStart;
    bool final_ = false;
    size_t storedLeft_ = 0;
    size_t pendingLength_ = 0, pendingDistance_ = 0;
    const HuffmanTable* literals_ = nullptr;
    const HuffmanTable* distances_ = nullptr;
    HuffmanTable codeLengthTable_, dynamicLiterals_, dynamicDistances_;  // of the current dynamic block
};

// The longest distance a code can give (codes 30 and 31 included): a window
// that keeps this much history can resolve every back-reference.
constexpr size_t kHistoryBytes = 65536;

}  // namespace

bool InflateZlibStream(std::span<const uint8_t> in, std::span<uint8_t> out) {
    if (out.empty()) return true;
    Inflater inflater(in, out, out.size());
    if (inflater.Produce(out.size()) == Inflater::Status::kError) return false;
    // The fast loop's word copies may have run past the end of the data.
    std::memset(out.data() + inflater.Written(), 0, out.size() - inflater.Written());
    return true;
}

struct WindowedInflater::Engine {
    Engine(std::span<const uint8_t> in, size_t total, size_t windowBytes)
        : window(std::make_unique_for_overwrite<uint8_t[]>(windowBytes)),
          inflater(in, {window.get(), windowBytes}, total),
          windowBytes(windowBytes) {}
    std::unique_ptr<uint8_t[]> window;  // written before it is read
    Inflater inflater;
    size_t windowBytes;
};

WindowedInflater::WindowedInflater(std::span<const uint8_t> in, size_t total, size_t partBytes)
    : total_(total), ended_(total == 0) {
    const size_t windowBytes = std::min(total, kHistoryBytes + std::max<size_t>(partBytes, 1));
    if (total > 0) engine_ = std::make_unique<Engine>(in, total, windowBytes);
}

WindowedInflater::~WindowedInflater() = default;

bool WindowedInflater::Next(std::span<const uint8_t>& part) {
    part = {};
    if (ended_) return true;
    Inflater& inflater = engine_->inflater;
    const size_t left = total_ - inflater.Produced();
    if (left == 0) {
        ended_ = true;
        return true;
    }
    if (inflater.Written() == engine_->windowBytes) inflater.Slide(kHistoryBytes);
    const size_t start = inflater.Written();
    const Inflater::Status status = inflater.Produce(std::min(engine_->windowBytes, start + left));
    if (status == Inflater::Status::kError) return false;
    ended_ = status == Inflater::Status::kEnded;
    part = {engine_->window.get() + start, inflater.Written() - start};
    return true;
}

bool WindowedInflater::StreamEnded(size_t& endOffset) const {
    if (!engine_ || !engine_->inflater.Ended()) return false;
    endOffset = engine_->inflater.EndOffset();
    return true;
}
