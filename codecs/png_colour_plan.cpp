#include "codecs/png_colour_plan.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace png_encode {
namespace {

uint32_t PixelValue(const uint8_t* pixel) {
    uint32_t value;
    std::memcpy(&value, pixel, 4);  // blue in the low byte, alpha in the high byte
    return value;
}

// Without alpha every pixel counts as opaque, whatever its alpha byte holds.
uint32_t EffectiveValue(const uint8_t* pixel, bool alpha) {
    return alpha ? PixelValue(pixel) : PixelValue(pixel) | 0xFF000000u;
}

uint8_t AlphaOf(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) >> 24); }
uint8_t RedOf(int32_t value) { return static_cast<uint8_t>(value >> 16); }
uint8_t GreenOf(int32_t value) { return static_cast<uint8_t>(value >> 8); }
uint8_t BlueOf(int32_t value) { return static_cast<uint8_t>(value); }

// [alpha][channel] -> channel x 255 / alpha, truncated. Row 0 gives 0 and row
// 255 the channel itself; entries for channels above their alpha are never
// used (those pixels fail before).
struct UnpremultiplyTable {
    std::array<std::array<uint8_t, 256>, 256> straight{};
    UnpremultiplyTable() {
        for (int c = 0; c < 256; ++c) straight[255][c] = static_cast<uint8_t>(c);
        for (int a = 1; a < 255; ++a)
            for (int c = 0; c <= a; ++c) straight[a][c] = static_cast<uint8_t>(c * 255 / a);
    }
};

const UnpremultiplyTable& Table() {
    static const UnpremultiplyTable table;
    return table;
}

// At most 256 distinct 32-bit pixel values, numbered in the order they were
// added: an open-addressing hash table small enough for the first-level cache.
class ValueIndex {
public:
    // The number of value; -1 when the value is not there.
    int Find(uint32_t value) const {
        for (size_t slot = Home(value);; slot = (slot + 1) & kMask) {
            if (numbers_[slot] < 0) return -1;
            if (keys_[slot] == value) return numbers_[slot];
        }
    }
    // Adds a value that is not there yet; its number, or -1 when full.
    int Add(uint32_t value);
    size_t Count() const { return count_; }
    // The values by number.
    const uint32_t* begin() const { return values_.data(); }
    const uint32_t* end() const { return values_.data() + count_; }

private:
    static constexpr size_t kSlots = 1024;  // at most a quarter full: short probes
    static constexpr size_t kMask = kSlots - 1;
    static size_t Home(uint32_t value) { return (value * 0x9E3779B1u) >> 22; }

    std::array<uint32_t, kSlots> keys_{};
    std::array<int16_t, kSlots> numbers_ = Empty();
    std::array<uint32_t, kMaxPaletteValues> values_{};
    size_t count_ = 0;

    static std::array<int16_t, kSlots> Empty() {
        std::array<int16_t, kSlots> empty;
        empty.fill(-1);
        return empty;
    }
};

int ValueIndex::Add(uint32_t value) {
    if (count_ == kMaxPaletteValues) return -1;
    size_t slot = Home(value);
    while (numbers_[slot] >= 0) slot = (slot + 1) & kMask;
    keys_[slot] = value;
    numbers_[slot] = static_cast<int16_t>(count_);
    values_[count_] = value;
    return static_cast<int>(count_++);
}

// The distinct values in ascending signed order, with their numbers, and the
// number of each pixel's value; false past 256 values.
bool CollectValues(const PixelView& pixels, ColourPlan& plan) {
    const size_t count = pixels.PixelCount();
    plan.numbers = std::make_unique_for_overwrite<uint8_t[]>(count);
    uint8_t* number = plan.numbers.get();
    ValueIndex index;
    uint32_t last = 0;
    uint8_t lastNumber = 0;
    bool haveLast = false;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t value = EffectiveValue(pixels.bits + i * 4, plan.alpha);
        if (!haveLast || value != last) {  // runs of one colour are common
            int found = index.Find(value);
            if (found < 0 && (found = index.Add(value)) < 0) return false;  // a 257th value
            last = value;
            lastNumber = static_cast<uint8_t>(found);
            haveLast = true;
        }
        number[i] = lastNumber;
    }
    std::vector<std::pair<int32_t, uint8_t>> sorted;
    for (const uint32_t value : index) sorted.emplace_back(static_cast<int32_t>(value), uint8_t(sorted.size()));
    std::sort(sorted.begin(), sorted.end());
    for (const auto& [value, n] : sorted) {
        plan.sortedValues.push_back(value);
        plan.numberOfSorted.push_back(n);
    }
    return true;
}

bool IsGrey(int32_t value) { return BlueOf(value) == GreenOf(value) && GreenOf(value) == RedOf(value); }

void PlanGrey(ColourPlan& plan) {
    plan.colourType = kGrey;
    if (!plan.alpha) return;
    // A key is chosen even when nothing is transparent, unless every level is
    // visible (then no pixel can be transparent: that would be a 257th value).
    std::array<bool, 256> used{};
    for (int32_t value : plan.sortedValues)
        if (AlphaOf(value) != 0) used[BlueOf(value)] = true;
    auto unused = std::find(used.begin(), used.end(), false);
    if (unused == used.end()) return;
    plan.key = static_cast<int32_t>(unused - used.begin());
    plan.trns = {0, static_cast<uint8_t>(plan.key)};
}

bool PlanPalette(ColourPlan& plan, size_t notOpaque) {
    plan.colourType = kPalette;
    const size_t n = plan.sortedValues.size();
    std::vector<uint8_t> indexOfSorted(n);
    // Entries that are not opaque lead in ascending order; the opaque ones
    // fill the palette from its end backwards, so tRNS can leave them out.
    size_t front = 0, back = n;
    for (size_t i = 0; i < n; ++i) {
        const bool opaque = AlphaOf(plan.sortedValues[i]) == 255;
        indexOfSorted[i] = static_cast<uint8_t>(notOpaque == 0 ? i : opaque ? --back : front++);
        plan.indexOfNumber[plan.numberOfSorted[i]] = indexOfSorted[i];
    }
    plan.plte.assign(n * 3, 0);
    plan.trns.assign(notOpaque, 0);
    const UnpremultiplyTable& table = Table();
    for (size_t i = 0; i < n; ++i) {
        const int32_t value = plan.sortedValues[i];
        const uint8_t a = AlphaOf(value);
        const uint8_t r = RedOf(value), g = GreenOf(value), b = BlueOf(value);
        if (a != 0 && std::max({r, g, b}) > a) return false;
        uint8_t* rgb = &plan.plte[indexOfSorted[i] * size_t{3}];
        rgb[0] = table.straight[a][r];
        rgb[1] = table.straight[a][g];
        rgb[2] = table.straight[a][b];
        if (a != 255) plan.trns[indexOfSorted[i]] = a;
    }
    return true;
}

enum class FewColours { kTooMany, kPlanned, kUnwritable };

// Palette or grey, when the image has at most 256 values.
FewColours PlanFewColours(const PixelView& pixels, bool alpha, ColourPlan& plan) {
    plan.alpha = alpha;
    if (!CollectValues(pixels, plan)) return FewColours::kTooMany;
    size_t notOpaque = 0;
    bool partial = false, grey = true;
    for (int32_t value : plan.sortedValues) {
        const uint8_t a = AlphaOf(value);
        notOpaque += a != 255;
        partial |= a != 255 && a != 0;
        grey &= IsGrey(value);
    }
    // Grey keeps only opaque levels and one key: a partly transparent grey
    // needs the palette to keep its alpha.
    if (grey && notOpaque <= 1 && !partial) {
        plan.numbers.reset();  // grey samples come straight from the pixels
        PlanGrey(plan);
        return FewColours::kPlanned;
    }
    return PlanPalette(plan, notOpaque) ? FewColours::kPlanned : FewColours::kUnwritable;
}

ColourPlan PlanTrueColour(const PixelView& pixels, bool alpha) {
    ColourPlan plan;
    plan.alpha = alpha;
    plan.colourType = kRgb;
    if (!alpha) return plan;
    // Only alpha 0 and 255, transparent pixels all zeros: a key colour may do.
    std::array<std::array<bool, 256>, 3> used{};
    const size_t count = pixels.PixelCount();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = pixels.bits + i * 4;
        if (p[3] == 255) {
            used[0][p[0]] = used[1][p[1]] = used[2][p[2]] = true;
        } else if (p[3] != 0 || (p[0] | p[1] | p[2]) != 0) {
            plan.colourType = kRgba;
            return plan;
        }
    }
    for (const auto& channel : used) {  // blue, green, red
        auto unused = std::find(channel.begin(), channel.end(), false);
        if (unused != channel.end()) {
            plan.key = static_cast<int32_t>(unused - channel.begin());
            const auto v = static_cast<uint8_t>(plan.key);
            plan.trns = {0, v, 0, v, 0, v};
            return plan;
        }
    }
    plan.colourType = kRgba;
    return plan;
}

void WritePaletteRow(const ColourPlan& plan, const uint8_t* numbers, int32_t width, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x) out[x] = plan.indexOfNumber[numbers[x]];
}

void WriteGreyRow(const ColourPlan& plan, const uint8_t* pixel, int32_t width, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x, pixel += 4)
        out[x] = !plan.alpha || pixel[3] != 0 ? pixel[0] : static_cast<uint8_t>(plan.key);
}

bool WriteRgbaRow(const uint8_t* pixel, int32_t width, uint8_t* out) {
    const UnpremultiplyTable& table = Table();
    bool bad = false;
    for (int32_t x = 0; x < width; ++x, pixel += 4, out += 4) {
        const uint8_t b = pixel[0], g = pixel[1], r = pixel[2], a = pixel[3];
        // Alpha 0 writes 0, 0, 0, 0 whatever the colour bytes hold.
        bad |= a != 0 && (r > a || g > a || b > a);
        const auto& straight = table.straight[a];
        out[0] = straight[r];
        out[1] = straight[g];
        out[2] = straight[b];
        out[3] = a;
    }
    return !bad;
}

bool WriteRgbRow(const ColourPlan& plan, const uint8_t* pixel, int32_t width, uint8_t* out) {
    const UnpremultiplyTable& table = Table();
    const uint8_t transparent = plan.key < 0 ? 255 : static_cast<uint8_t>(plan.key);
    for (int32_t x = 0; x < width; ++x, pixel += 4, out += 3) {
        const uint8_t b = pixel[0], g = pixel[1], r = pixel[2], a = plan.alpha ? pixel[3] : 255;
        if (a == 0) {
            out[0] = out[1] = out[2] = transparent;
            continue;
        }
        if (r > a || g > a || b > a) return false;
        const auto& straight = table.straight[a];
        out[0] = straight[r];
        out[1] = straight[g];
        out[2] = straight[b];
    }
    return true;
}

}  // namespace

int BytesPerPixel(ColourType colourType) {
    switch (colourType) {
        case kRgba: return 4;
        case kRgb: return 3;
        default: return 1;
    }
}

uint8_t Unpremultiply(uint8_t channel, uint8_t alpha) { return Table().straight[alpha][channel]; }

std::optional<ColourPlan> ChooseColourPlan(const PixelView& pixels, bool alpha) {
    ColourPlan plan;
    switch (PlanFewColours(pixels, alpha, plan)) {
        case FewColours::kPlanned: return plan;
        case FewColours::kUnwritable: return std::nullopt;  // a palette colour above its alpha
        case FewColours::kTooMany: break;
    }
    return PlanTrueColour(pixels, alpha);
}

bool WriteSampleRow(const ColourPlan& plan, const PixelView& pixels, int32_t y, uint8_t* out) {
    const uint8_t* row = pixels.PictureRow(y);
    switch (plan.colourType) {
        case kPalette: {
            const size_t memoryRow = static_cast<size_t>(pixels.height - 1 - y);
            WritePaletteRow(plan, plan.numbers.get() + memoryRow * static_cast<size_t>(pixels.width), pixels.width,
                            out);
            return true;
        }
        case kGrey: WriteGreyRow(plan, row, pixels.width, out); return true;
        case kRgb: return WriteRgbRow(plan, row, pixels.width, out);
        case kRgba: return WriteRgbaRow(row, pixels.width, out);
    }
    return false;
}

}  // namespace png_encode
