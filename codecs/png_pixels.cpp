#include "codecs/png_pixels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "codecs/pixels_x86.h"

namespace png {
namespace {

// The Paeth predictor: whichever of left, up and up-left is closest to
// left + up - up-left, ties going to left, then up. Written as two selects,
// which compile without branches.
inline uint8_t Paeth(int a, int b, int c) {
    int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    int nearest = pb < pa ? b : a;
    int distance = pb < pa ? pb : pa;
    return static_cast<uint8_t>(pc < distance ? c : nearest);
}

// Rows with a row above; the distance is a constant so that the bytes to
// the left stay in registers instead of being read back from the row just
// written. Rows hold whole pixels: the length is a multiple of Distance. The
// filtered bytes come from in, which may be row itself.
template <size_t Distance>
void UnfilterWithUp(uint8_t type, const uint8_t* in, uint8_t* row, const uint8_t* up, size_t length) {
    if (length < Distance) return;  // cannot happen for rows of whole pixels
    uint8_t left[Distance], upLeft[Distance];
    switch (type) {
        case 1:
            for (size_t j = 0; j < Distance; ++j) row[j] = left[j] = in[j];
            for (size_t i = Distance; i + Distance <= length; i += Distance)
                for (size_t j = 0; j < Distance; ++j) row[i + j] = left[j] = static_cast<uint8_t>(in[i + j] + left[j]);
            break;
        case 2:
            for (size_t i = 0; i < length; ++i) row[i] = static_cast<uint8_t>(in[i] + up[i]);
            break;
        case 3:
            for (size_t j = 0; j < Distance; ++j) row[j] = left[j] = static_cast<uint8_t>(in[j] + (up[j] >> 1));
            for (size_t i = Distance; i + Distance <= length; i += Distance)
                for (size_t j = 0; j < Distance; ++j)
                    row[i + j] = left[j] = static_cast<uint8_t>(in[i + j] + ((left[j] + up[i + j]) >> 1));
            break;
        case 4:
            // Without a left neighbour the predictor is the byte above.
            for (size_t j = 0; j < Distance; ++j) {
                upLeft[j] = up[j];
                row[j] = left[j] = static_cast<uint8_t>(in[j] + up[j]);
            }
            for (size_t i = Distance; i + Distance <= length; i += Distance)
                for (size_t j = 0; j < Distance; ++j) {
                    uint8_t above = up[i + j];
                    row[i + j] = left[j] = static_cast<uint8_t>(in[i + j] + Paeth(left[j], above, upLeft[j]));
                    upLeft[j] = above;
                }
            break;
        default:
            // 0, and values above 4 where they are tolerated: as stored
            if (in != row) std::memcpy(row, in, length);
            break;
    }
}

// The first row of an image or pass: the row above counts as zeros, so Up
// changes nothing and Paeth reduces to Sub.
void UnfilterFirstRow(uint8_t type, const uint8_t* in, uint8_t* row, size_t length, size_t distance) {
    if (in != row) std::memcpy(row, in, length);
    if (type == 1 || type == 4) {
        for (size_t i = distance; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - distance]);
    } else if (type == 3) {
        for (size_t i = distance; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + (row[i - distance] >> 1));
    }
}

// A pixel as the 32-bit value whose memory bytes are blue, green, red, alpha,
// with the colours premultiplied (x * a / 255, truncated). Alpha 255 keeps
// the colours and alpha 0 gives all zeros.
inline uint32_t Premultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    // Blue and red side by side in 16-bit lanes. For n up to 255 x 255,
    // n / 255 == (n + 1 + (n >> 8)) >> 8, and no lane carries into the next.
    uint32_t br = (b | r << 16) * a;
    br = ((br + 0x00010001u + ((br >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t green = g * a;
    green = (green + 1 + (green >> 8)) >> 8;
    return br | green << 8 | a << 24;
}

// A pixel in the output's layout: red or blue in the lowest byte, straight
// or premultiplied.
template <bool RedFirst, bool Premultiply>
inline uint32_t Pack(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if constexpr (RedFirst) std::swap(r, b);
    if constexpr (Premultiply) return Premultiplied(r, g, b, a);
    return b | g << 8 | r << 16 | a << 24;
}
template <bool RedFirst>
inline uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b) {
    return Pack<RedFirst, false>(r, g, b, 255);
}

// The same with the layout chosen at run time, for the rarer sample kinds.
struct Packer {
    bool redFirst, premultiplied;
    uint32_t operator()(uint32_t r, uint32_t g, uint32_t b, uint32_t a) const {
        if (redFirst) return premultiplied ? Pack<true, true>(r, g, b, a) : Pack<true, false>(r, g, b, a);
        return premultiplied ? Pack<false, true>(r, g, b, a) : Pack<false, false>(r, g, b, a);
    }
};

inline void PutPixel(uint8_t* pixel, uint32_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(pixel, &value, 4);
    } else {
        pixel[0] = static_cast<uint8_t>(value), pixel[1] = static_cast<uint8_t>(value >> 8);
        pixel[2] = static_cast<uint8_t>(value >> 16), pixel[3] = static_cast<uint8_t>(value >> 24);
    }
}

#if defined(__GNUC__) && (defined(__SSE2__) || defined(__ARM_NEON))
// Four-byte pixels as four 16-bit lanes, one pixel per step: the dependency
// on the left pixel stays, but each step works on all of its bytes at once.
// Only where the compiler has vector registers for it.
#define PNG_PIXEL_LANES 1
typedef uint8_t PixelBytes __attribute__((vector_size(4)));
typedef int16_t Lanes __attribute__((vector_size(8)));

inline Lanes LoadLanes(const uint8_t* p) {
    PixelBytes b;
    std::memcpy(&b, p, 4);
    return __builtin_convertvector(b, Lanes);
}
inline void StoreLanes(uint8_t* p, Lanes v) {
    PixelBytes b = __builtin_convertvector(v, PixelBytes);  // the low bytes
    std::memcpy(p, &b, 4);
}
inline Lanes Select(Lanes mask, Lanes yes, Lanes no) { return (yes & mask) | (no & ~mask); }
inline Lanes Absolute(Lanes v) {
    Lanes sign = v >> 15;
    return (v ^ sign) - sign;
}
inline Lanes PaethLanes(Lanes a, Lanes b, Lanes c) {
    Lanes pa = Absolute(b - c), pb = Absolute(a - c), pc = Absolute(a + b - c - c);
    Lanes upCloser = pb < pa;
    Lanes nearest = Select(upCloser, b, a), distance = Select(upCloser, pb, pa);
    return Select(pc < distance, c, nearest);
}

// Types 1, 3 and 4 for rows of four-byte pixels; false for other types.
// (Three-byte pixels gain nothing this way: their byte-wise loop has three
// short dependency chains, not four.)
bool UnfilterLanes(uint8_t type, const uint8_t* in, uint8_t* row, const uint8_t* up, size_t length) {
    if (type != 1 && type != 3 && type != 4) return false;
    Lanes left{}, upLeft{};
    for (size_t i = 0; i + 4 <= length; i += 4) {
        Lanes raw = LoadLanes(in + i), above = LoadLanes(up + i), value;
        if (type == 1)
            value = raw + left;
        else if (type == 3)
            value = raw + ((left + above) >> 1);
        else
            value = raw + PaethLanes(left, above, upLeft);
        left = value & 0xFF;
        upLeft = above;
        StoreLanes(row + i, left);
    }
    return true;
}

// Rows of three-byte pixels, a pixel per step. Each pixel is read as a word
// (but the row's last) and stored as its three bytes, so no store overlaps a
// later load, also when the row is unfiltered in place.
inline Lanes LoadThreeLanes(const uint8_t* p, bool last) {
    uint32_t word;
    if (!last)
        std::memcpy(&word, p, 4);
    else
        word = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    PixelBytes b;
    std::memcpy(&b, &word, 4);
    return __builtin_convertvector(b, Lanes);
}

template <int Type>
void UnfilterLanes3(const uint8_t* in, uint8_t* row, const uint8_t* up, size_t length) {
    Lanes left{}, upLeft{};
    for (size_t i = 0; i + 3 <= length; i += 3) {
        const bool last = i + 3 == length;
        const Lanes raw = LoadThreeLanes(in + i, last), above = LoadThreeLanes(up + i, last);
        Lanes value;
        if constexpr (Type == 1)
            value = raw + left;
        else if constexpr (Type == 3)
            value = raw + ((left + above) >> 1);
        else
            value = raw + PaethLanes(left, above, upLeft);
        left = value & 0xFF;
        upLeft = above;
        const PixelBytes b = __builtin_convertvector(left, PixelBytes);
        std::memcpy(row + i, &b, 3);
    }
}

// Types 1, 3 and 4; false for other types.
bool UnfilterLanes3(uint8_t type, const uint8_t* in, uint8_t* row, const uint8_t* up, size_t length) {
    switch (type) {
        case 1: UnfilterLanes3<1>(in, row, up, length); return true;
        case 3: UnfilterLanes3<3>(in, row, up, length); return true;
        case 4: UnfilterLanes3<4>(in, row, up, length); return true;
        default: return false;
    }
}

// Four RGBA pixels at a time into premultiplied pixels, with the same
// arithmetic as Premultiplied.
typedef uint8_t FourPixelBytes __attribute__((vector_size(16)));
typedef uint16_t FourPixelLanes __attribute__((vector_size(32)));

// Pixels are step bytes apart in the target (4, or more in Adam7 passes).
template <bool RedFirst>
void PremultiplyRgbaRow(const uint8_t* s, uint8_t* pixel, size_t count, size_t step) {
    const FourPixelLanes alphaLanes = {0, 0, 0, 0xFFFF, 0, 0, 0, 0xFFFF, 0, 0, 0, 0xFFFF, 0, 0, 0, 0xFFFF};
    size_t k = 0;
    for (; k + 4 <= count; k += 4, s += 16, pixel += 4 * step) {
        FourPixelBytes bytes;
        std::memcpy(&bytes, s, 16);
        FourPixelLanes v = __builtin_convertvector(bytes, FourPixelLanes);
        FourPixelLanes alpha = __builtin_shufflevector(v, v, 3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
        FourPixelLanes n = v * alpha;
        n = (n + 1 + (n >> 8)) >> 8;
        // For blue first, red and blue swap places within each pixel (a
        // shuffle that stays in each 64-bit quarter, which plain SSE2 has);
        // alpha comes from the input.
        if constexpr (!RedFirst) n = __builtin_shufflevector(n, n, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
        FourPixelLanes out = (n & ~alphaLanes) | (v & alphaLanes);
        bytes = __builtin_convertvector(out, FourPixelBytes);
        if (step == 4) {
            std::memcpy(pixel, &bytes, 16);
        } else {
            for (size_t j = 0; j < 4; ++j) std::memcpy(pixel + j * step, reinterpret_cast<const uint8_t*>(&bytes) + 4 * j, 4);
        }
    }
    for (; k < count; ++k, s += 4, pixel += step) PutPixel(pixel, Pack<RedFirst, true>(s[0], s[1], s[2], s[3]));
}
#endif

// Undoes one row's filter from in into row (which may be the same);
// previous is null for the first row.
void Unfilter(uint8_t type, const uint8_t* in, uint8_t* row, const uint8_t* previous, size_t length, size_t distance) {
    if (previous == nullptr) return UnfilterFirstRow(type, in, row, length, distance);
    switch (distance) {
        case 1: return UnfilterWithUp<1>(type, in, row, previous, length);
        case 2: return UnfilterWithUp<2>(type, in, row, previous, length);
#ifdef PNG_PIXEL_LANES
        case 3:
            if (UnfilterLanes3(type, in, row, previous, length)) return;
            return UnfilterWithUp<3>(type, in, row, previous, length);
        case 4:
            if (UnfilterLanes(type, in, row, previous, length)) return;
            return UnfilterWithUp<4>(type, in, row, previous, length);
#else
        case 3: return UnfilterWithUp<3>(type, in, row, previous, length);
        case 4: return UnfilterWithUp<4>(type, in, row, previous, length);
#endif
        case 6: return UnfilterWithUp<6>(type, in, row, previous, length);
        default: return UnfilterWithUp<8>(type, in, row, previous, length);
    }
}

struct PassGeometry {
    Pass pass;
    int64_t columns;
    int64_t rows;
    size_t stride;         // filter byte + row bytes
    int64_t firstRow = 0;  // of the pass, when a writer gets a part of its rows

    int32_t PictureRow(int64_t r) const { return static_cast<int32_t>(pass.y0 + (firstRow + r) * pass.dy); }
};

// RGBA samples as they are, or with red and blue swapped.
template <bool RedFirst>
void StraightRgbaRow(const uint8_t* s, uint8_t* pixel, size_t count, size_t step) {
    if (RedFirst && step == 4) {
        std::memcpy(pixel, s, count * 4);
        return;
    }
    for (size_t k = 0; k < count; ++k, s += 4, pixel += step) PutPixel(pixel, Pack<RedFirst, false>(s[0], s[1], s[2], s[3]));
}

// One colour type and layout per instance, so that the pixel loop has no
// switch. Every pixel is written: the caller's buffer holds anything.
template <int ColourType, bool RedFirst, bool Premultiply>
void WriteTrueColour8Rows(const Colours& c, const uint8_t* data, const PassGeometry& g, const OutputRows& out) {
    constexpr int step = ColourType == 6 ? 4 : ColourType == 4 ? 2 : 3;
    const int32_t key = c.transparencyKey;
    const size_t dx = static_cast<size_t>(g.pass.dx) * 4;
    for (int64_t r = 0; r < g.rows; ++r) {
        const uint8_t* s = data + r * g.stride + 1;
        uint8_t* pixel = out.Row(g.PictureRow(r)) + g.pass.x0 * 4;
        if constexpr (ColourType == 6) {
            if constexpr (!Premultiply) {
                StraightRgbaRow<RedFirst>(s, pixel, static_cast<size_t>(g.columns), dx);
            } else {
#ifdef PNG_PIXEL_LANES
                PremultiplyRgbaRow<RedFirst>(s, pixel, static_cast<size_t>(g.columns), dx);
#else
                for (int64_t k = 0; k < g.columns; ++k, s += step, pixel += dx)
                    PutPixel(pixel, Pack<RedFirst, true>(s[0], s[1], s[2], s[3]));
#endif
            }
        } else if constexpr (ColourType == 4) {
            for (int64_t k = 0; k < g.columns; ++k, s += step, pixel += dx)
                PutPixel(pixel, Pack<RedFirst, Premultiply>(s[0], s[0], s[0], s[1]));
        } else if (key == -1) {
#ifdef MENDLOW_X86_PIXELS
            static const bool ssse3 = HasSsse3();
            if (ssse3 && dx == 4) {
                ExpandRgbSsse3(s, pixel, static_cast<size_t>(g.columns), RedFirst);
                continue;
            }
#endif
            for (int64_t k = 0; k < g.columns; ++k, s += step, pixel += dx) PutPixel(pixel, Opaque<RedFirst>(s[0], s[1], s[2]));
        } else {
            // A keyed pixel is transparent: all zeros premultiplied, its
            // colour with alpha 0 straight.
            const uint32_t keyColour = Opaque<RedFirst>((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF);
            const uint32_t keep = Premultiply ? 0 : 0x00FFFFFFu;
            for (int64_t k = 0; k < g.columns; ++k, s += step, pixel += dx) {
                uint32_t colour = Opaque<RedFirst>(s[0], s[1], s[2]);
                PutPixel(pixel, colour == keyColour ? colour & keep : colour);
            }
        }
    }
}

template <int ColourType>
void WriteTrueColour8Layout(const Colours& c, const uint8_t* data, const PassGeometry& g, const OutputRows& out) {
    if (out.redFirst)
        out.premultiplied ? WriteTrueColour8Rows<ColourType, true, true>(c, data, g, out)
                          : WriteTrueColour8Rows<ColourType, true, false>(c, data, g, out);
    else
        out.premultiplied ? WriteTrueColour8Rows<ColourType, false, true>(c, data, g, out)
                          : WriteTrueColour8Rows<ColourType, false, false>(c, data, g, out);
}

bool WriteTrueColour8(const ImageFormat& f, const Colours& c, const uint8_t* data, const PassGeometry& g,
                      const OutputRows& out) {
    if (f.colourType == 6)
        WriteTrueColour8Layout<6>(c, data, g, out);
    else if (f.colourType == 4)
        WriteTrueColour8Layout<4>(c, data, g, out);
    else
        WriteTrueColour8Layout<2>(c, data, g, out);
    return true;
}

// Every pixel of a palette or grey image as one of at most 256 values; the
// writer looks each sample up instead of working it out.
struct SampleTable {
    std::array<uint32_t, 256> pixel{};
    std::array<bool, 256> valid{};  // false: beyond the palette, the writer fails
};

SampleTable MakeSampleTable(const ImageFormat& f, const Colours& c, Packer pack) {
    SampleTable t;
    const bool palette = f.colourType == 3;
    const unsigned count = 1u << f.bitDepth;
    for (unsigned v = 0; v < count; ++v) {
        if (3 * size_t{v} + 2 >= c.palette.size()) continue;
        const unsigned r = c.palette[3 * v], g = c.palette[3 * v + 1], b = c.palette[3 * v + 2];
        unsigned alpha = 255;
        if (palette && c.transparencyKey != -1) {
            if (v >= c.transparency.size()) continue;
            alpha = c.transparency[v];
        } else if (!palette && c.transparencyKey != -1 && static_cast<int32_t>(v) == c.transparencyKey) {
            alpha = 0;
        }
        t.valid[v] = true;
        t.pixel[v] = pack(r, g, b, alpha);
    }
    return t;
}

bool WritePaletteGrey(const ImageFormat& f, const SampleTable& table, const uint8_t* data, const PassGeometry& g,
                      const OutputRows& out) {
    const int depth = f.bitDepth;
    const unsigned mask = (1u << depth) - 1;
    const size_t dx = static_cast<size_t>(g.pass.dx) * 4;
    for (int64_t r = 0; r < g.rows; ++r) {
        const uint8_t* s = data + r * g.stride + 1;
        uint8_t* pixel = out.Row(g.PictureRow(r)) + g.pass.x0 * 4;
        if (depth == 8) {
            for (int64_t k = 0; k < g.columns; ++k, pixel += dx) {
                unsigned v = s[k];
                if (!table.valid[v]) return false;
                PutPixel(pixel, table.pixel[v]);
            }
            continue;
        }
        int shift = 8 - depth;
        for (int64_t k = 0; k < g.columns; ++k, pixel += dx) {
            unsigned v = (*s >> shift) & mask;
            if (shift == 0) {
                shift = 8 - depth;
                ++s;
            } else {
                shift -= depth;
            }
            if (!table.valid[v]) return false;
            PutPixel(pixel, table.pixel[v]);
        }
    }
    return true;
}

// A 16-bit sample matches its key by the high byte, or by both bytes where
// the colours ask for the whole key.
bool WriteDepth16(const ImageFormat& f, const Colours& c, Packer pack, const uint8_t* data, const PassGeometry& g,
                  const OutputRows& out) {
    if (f.colourType == 3) return true;  // forbidden combination: nothing to write
    const int step = FilterDistance(f);
    const bool hasKey = c.transparencyKey != -1;
    const auto& t = c.transparency;
    const bool whole = c.wholeSixteenBitKey;
    auto same = [&](const uint8_t* s, size_t i) { return s[i] == t[i] && (!whole || s[i + 1] == t[i + 1]); };
    for (int64_t r = 0; r < g.rows; ++r) {
        const uint8_t* s = data + r * g.stride + 1;
        uint8_t* line = out.Row(g.PictureRow(r));
        for (int64_t k = 0; k < g.columns; ++k, s += step) {
            uint8_t* pixel = line + (g.pass.x0 + k * g.pass.dx) * 4;
            switch (f.colourType) {
                case 6: PutPixel(pixel, pack(s[0], s[2], s[4], s[6])); break;
                case 4: PutPixel(pixel, pack(s[0], s[0], s[0], s[2])); break;
                case 2: {
                    bool keyed = hasKey && t.size() >= 6 && same(s, 4) && same(s, 2) && same(s, 0);
                    PutPixel(pixel, pack(s[0], s[2], s[4], keyed ? 0 : 255));
                    break;
                }
                default: {
                    bool keyed = hasKey && t.size() >= 2 && same(s, 0);
                    PutPixel(pixel, pack(s[0], s[0], s[0], keyed ? 0 : 255));
                }
            }
        }
    }
    return true;
}

}  // namespace

// The writers for one image: the sample table is made once.
class RowDecoder::Writer {
public:
    Writer(const ImageFormat& f, const Colours& c, const OutputRows& out)
        : f_(f), c_(c), out_(out), pack_{out.redFirst, out.premultiplied} {
        if (UsesTable()) table_ = MakeSampleTable(f, c, pack_);
    }
    bool Write(const uint8_t* data, const PassGeometry& g) const {
        if (f_.bitDepth == 16) return WriteDepth16(f_, c_, pack_, data, g, out_);
        if (UsesTable()) return WritePaletteGrey(f_, table_, data, g, out_);
        return WriteTrueColour8(f_, c_, data, g, out_);
    }

private:
    bool UsesTable() const { return (f_.colourType == 0 || f_.colourType == 3) && f_.bitDepth <= 8; }
    const ImageFormat& f_;
    const Colours& c_;
    const OutputRows out_;
    const Packer pack_;
    SampleTable table_;
};

bool IsAllowedCombination(uint8_t colourType, uint8_t bitDepth) {
    switch (colourType) {
        case 0: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
        case 3: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
        case 2:
        case 4:
        case 6: return bitDepth == 8 || bitDepth == 16;
        default: return false;
    }
}

int BitsPerPixel(const ImageFormat& f) {
    switch (f.colourType) {
        case 2: return 3 * f.bitDepth;
        case 4: return 2 * f.bitDepth;
        case 6: return 4 * f.bitDepth;
        default: return f.bitDepth;
    }
}

int FilterDistance(const ImageFormat& f) { return BitsPerPixel(f) < 8 ? 1 : BitsPerPixel(f) / 8; }

int64_t RowBytes(const ImageFormat& f, int64_t pixels) { return (BitsPerPixel(f) * pixels + 7) / 8; }

int64_t PassColumns(const ImageFormat& f, const Pass& p) { return f.width / p.dx + (f.width % p.dx > p.x0 ? 1 : 0); }

int64_t PassRows(const ImageFormat& f, const Pass& p) { return f.height / p.dy + (f.height % p.dy > p.y0 ? 1 : 0); }

int64_t ExpectedInflatedSize(const ImageFormat& f, bool interlaced) {
    int64_t total = 0;
    for (int i = interlaced ? 0 : kWholeImagePass; i < (interlaced ? kWholeImagePass : kWholeImagePass + 1); ++i) {
        int64_t rows = PassRows(f, kPasses[i]), columns = PassColumns(f, kPasses[i]);
        total += rows * (RowBytes(f, columns) + 1);
        if (total > INT32_MAX) return -1;
    }
    return total;
}

int64_t CheckHeader(int32_t width, int32_t height, uint8_t bitDepth, uint8_t colourType, uint8_t compression,
                    uint8_t filter, uint8_t interlace) {
    if (width < 1 || height < 1) return -1;
    if (compression != 0 || filter != 0) return -1;
    // Forbidden depth and type pairs are refused here rather than guessed at later.
    if (!IsAllowedCombination(colourType, bitDepth)) return -1;
    if (interlace > 1) return -1;
    if (int64_t{width} * 32 > INT32_MAX / height) return -1;  // the product itself could overflow
    return ExpectedInflatedSize({width, height, bitDepth, colourType}, interlace == 1);
}

void PreparePalette(const ImageFormat& f, Colours& c) {
    if ((f.colourType != 0 && f.colourType != 3) || !c.palette.empty()) return;
    c.palette.assign(768, 0);
    if (f.colourType == 0 && f.bitDepth <= 8) {
        int n = (1 << f.bitDepth) - 1, step = 255 / n;
        for (int i = 1; i <= n; ++i) std::memset(&c.palette[3 * i], i * step, 3);
    } else if (f.colourType == 3 && f.bitDepth == 1) {
        std::memset(&c.palette[3], 255, 3);
    }
}

RowDecoder::RowDecoder(const ImageFormat& format, const Colours& colours, bool interlaced, const OutputRows& target)
    : format_(format),
      writer_(std::make_unique<Writer>(format_, colours, target)),
      interlaced_(interlaced),
      distance_(static_cast<size_t>(FilterDistance(format))) {
    const size_t widest = static_cast<size_t>(RowBytes(format, format.width) + 1);
    current_.resize(widest);
    previous_.resize(widest);
    StartPass(interlaced ? 0 : kWholeImagePass);
}

RowDecoder::~RowDecoder() = default;

// Passes without pixels have no rows in the data, not even filter bytes.
void RowDecoder::StartPass(int index) {
    const int end = interlaced_ ? kWholeImagePass : kWholeImagePass + 1;
    for (; index < end; ++index) {
        columns_ = PassColumns(format_, kPasses[index]);
        rows_ = PassRows(format_, kPasses[index]);
        if (columns_ == 0 || rows_ == 0) continue;
        pass_ = index;
        stride_ = static_cast<size_t>(RowBytes(format_, columns_) + 1);
        row_ = 0;
        return;
    }
    finished_ = true;
}

bool RowDecoder::Feed(std::span<const uint8_t> bytes) {
    while (!bytes.empty() && !finished_) {
        if (filled_ == 0 && bytes.size() >= stride_) {
            // A whole row: unfiltered straight out of the caller's bytes.
            const size_t stride = stride_;  // the next pass may have another
            if (!FinishRow(bytes.data())) return false;
            bytes = bytes.subspan(stride);
            continue;
        }
        const size_t take = std::min(bytes.size(), stride_ - filled_);
        std::memcpy(current_.data() + filled_, bytes.data(), take);
        filled_ += take;
        bytes = bytes.subspan(take);
        if (filled_ == stride_ && !FinishRow(current_.data())) return false;
    }
    return true;
}

bool RowDecoder::Finish() {
    static constexpr uint8_t kZeros[4096] = {};
    while (!finished_)
        if (!Feed(kZeros)) return false;
    return true;
}

// Filter values above 4 are fatal in interlaced data and kept as stored in
// plain data.
bool RowDecoder::FinishRow(const uint8_t* filtered) {
    const uint8_t filter = filtered[0];
    if (interlaced_ && filter > 4) return false;
    uint8_t* row = current_.data();
    Unfilter(filter, filtered + 1, row + 1, row_ > 0 ? previous_.data() + 1 : nullptr, stride_ - 1, distance_);
    const PassGeometry g{kPasses[pass_], columns_, 1, stride_, row_};
    if (!writer_->Write(row, g)) return false;
    std::swap(current_, previous_);
    filled_ = 0;
    if (++row_ == rows_) StartPass(pass_ + 1);
    return true;
}

}  // namespace png
