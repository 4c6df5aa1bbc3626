// Choosing the image of an icon or cursor file for a wanted size and depth.
// An exact fit wins at once; otherwise the closest image that is at least
// as large; otherwise the one nearest in size and nearest to 32 bits.
#include <cstdlib>

#include "codecs/ico_directory.h"

namespace ico {
namespace {

constexpr int64_t kTooDeep = -10000;
constexpr int64_t kOutOfReach = 10000;

// Sizes smaller than wanted count double, and negative.
int64_t Difference(int32_t size, int32_t wanted) {
    const int64_t d = int64_t{size} - wanted;
    return d < 0 ? 2 * d : d;
}

int64_t Score(const Entry& e, int32_t width, int32_t height, int32_t depth) {
    if (e.bitCount > 32) return kTooDeep;
    return Difference(e.width, width) + Difference(e.height, height) + std::llabs(int64_t{depth} - e.bitCount);
}

}  // namespace

std::optional<size_t> ChooseEntry(const std::vector<Entry>& entries, int32_t wantedWidth, int32_t wantedHeight,
                                  int32_t wantedDepth) {
    if (entries.empty()) return std::nullopt;
    if (entries.size() == 1) return entries[0].bitCount != 0 ? std::optional<size_t>(0) : std::nullopt;

    std::optional<size_t> best;
    int64_t bestScore = kOutOfReach;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].bitCount == 0) continue;
        const int64_t score = Score(entries[i], wantedWidth, wantedHeight, wantedDepth);
        if (score == 0) return i;
        if (score > 0 && score < bestScore) best = i, bestScore = score;
    }
    if (best) return best;

    bestScore = kOutOfReach;
    for (size_t i = entries.size(); i-- > 0;) {
        if (entries[i].bitCount == 0) continue;
        const int64_t score = std::llabs(Score(entries[i], wantedWidth, wantedHeight, wantedDepth)) +
                              std::llabs(32 - int64_t{entries[i].bitCount});
        if (score < bestScore) best = i, bestScore = score;
    }
    if (best) return best;
    return entries[0].bitCount != 0 ? std::optional<size_t>(0) : std::nullopt;
}

}  // namespace ico
