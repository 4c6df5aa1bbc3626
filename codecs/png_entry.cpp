// PNG for the public entry: the chunks read in place with their CRC-32s,
// the image data inflated by the built-in inflater a window at a time with
// its Adler-32, and each row written in the caller's layout as it is
// reconstructed. Colours are the stored ones: tRNS keys match whole samples.
#include <cstring>
#include <vector>

#include "codecs/checksums.h"
#include "codecs/decode_entry.h"
#include "codecs/inflater.h"
#include "codecs/png_pixels.h"

namespace mendlow::entry {
namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr const char* kBadRow = "a row has an unknown filter or a palette index beyond the palette";

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

struct Chunk {
    uint32_t length;
    const uint8_t* type;  // then the data, then the CRC-32
    const uint8_t* Data() const { return type + 4; }
    bool Is(const char (&name)[5]) const { return std::memcmp(type, name, 4) == 0; }
    bool CrcMatches() const { return Crc32(0, type, size_t{length} + 4) == BigEndian32(Data() + length); }
};

// What the chunks say, read from the signature up to IEND (or, for the
// headers alone, up to the first IDAT).
struct Reading {
    png::ImageFormat format;
    bool interlaced = false;
    png::Colours colours;
    bool havePalette = false, haveTransparency = false;
    std::vector<std::span<const uint8_t>> data;  // the IDAT chunks' data, in order
    ImageInfo info{0, 0, FileFormat::Png, false};
};

class ChunkWalker {
public:
    // A critical chunk whose CRC-32 fails ends the walk; an ancillary one
    // that is used (tRNS) is then ignored, as libpng and libspng do.
    ChunkWalker(std::span<const uint8_t> file, bool checkCritical, bool checkAncillary)
        : file_(file), checkCritical_(checkCritical), checkAncillary_(checkAncillary) {}

    // Everything up to IEND, or up to the first IDAT when headersOnly.
    DecodeResult Walk(Reading& r, bool headersOnly) {
        for (size_t at = 8;;) {
            if (file_.size() - at < 12) return Fail(DecodeStatus::Truncated, "the file ends before its IEND chunk", r.info);
            const Chunk c{BigEndian32(&file_[at]), &file_[at + 4]};
            if (c.length > 0x7FFFFFFFu) return Fail(DecodeStatus::Damaged, "a chunk's length is beyond 2^31 - 1", r.info);
            if (file_.size() - at - 12 < c.length)
                return Fail(DecodeStatus::Truncated, "the file ends inside a chunk", r.info);
            at += size_t{c.length} + 12;
            const bool first = r.format.width == 0;
            if (first != c.Is("IHDR")) return Fail(DecodeStatus::Damaged, "the first chunk is not the only IHDR", r.info);
            const bool critical = !(c.type[0] & 0x20);
            if (critical && checkCritical_ && !c.CrcMatches())
                return Fail(DecodeStatus::ChecksumMismatch, "a chunk's CRC-32 does not match its contents", r.info);
            if (!critical && checkAncillary_ && c.Is("tRNS") && !c.CrcMatches()) continue;
            DecodeResult result = Take(c, r);
            if (!result) return result;
            if (c.Is("IEND") || (headersOnly && !r.data.empty())) break;
        }
        if (r.data.empty()) return Fail(DecodeStatus::Damaged, "the file has no IDAT chunk", r.info);
        if (r.format.colourType == 3 && !r.havePalette)
            return Fail(DecodeStatus::Damaged, "a palette picture has no PLTE chunk", r.info);
        return Success(r.info);
    }

private:
    DecodeResult Take(const Chunk& c, Reading& r) {
        const uint8_t* d = c.Data();
        if (c.Is("IHDR")) {
            if (c.length != 13) return Fail(DecodeStatus::Damaged, "the IHDR chunk is not 13 bytes long", r.info);
            const uint32_t width = BigEndian32(d), height = BigEndian32(d + 4);
            if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
                return Fail(DecodeStatus::Damaged, "the picture's width or height is 0 or beyond 2^31 - 1", r.info);
            r.format = {int32_t(width), int32_t(height), d[8], d[9]};
            r.info.width = r.format.width;
            r.info.height = r.format.height;
            r.info.hasAlpha = d[9] == 4 || d[9] == 6;
            if (!png::IsAllowedCombination(d[9], d[8]))
                return Fail(DecodeStatus::Damaged, "the header's bit depth and colour type do not go together", r.info);
            if (d[10] != 0 || d[11] != 0 || d[12] > 1)
                return Fail(DecodeStatus::Unsupported, "the header names a method PNG does not define", r.info);
            r.interlaced = d[12] == 1;
        } else if (c.Is("PLTE")) {
            if (!r.data.empty()) return Fail(DecodeStatus::Damaged, "the PLTE chunk comes after image data", r.info);
            if (c.length % 3 != 0 || c.length == 0 || c.length > 768)
                return Fail(DecodeStatus::Damaged, "the PLTE chunk is not 1 to 256 colours", r.info);
            if (r.format.colourType == 0 || r.format.colourType == 4) return Success(r.info);  // not allowed; ignored
            r.colours.palette.assign(d, d + c.length);
            r.havePalette = true;
        } else if (c.Is("tRNS")) {
            if (r.data.empty() && !r.haveTransparency) TakeTransparency(c, r);
        } else if (c.Is("IDAT")) {
            if (c.length > 0) r.data.emplace_back(d, c.length);
        }
        return Success(r.info);
    }

    // A tRNS chunk of the wrong size for its colour type is ignored, as
    // libpng does. A key that no sample can equal stays unused.
    static void TakeTransparency(const Chunk& c, Reading& r) {
        const uint8_t* d = c.Data();
        png::Colours& colours = r.colours;
        const uint8_t type = r.format.colourType, depth = r.format.bitDepth;
        if (type == 3) {
            if (c.length == 0 || c.length > 256) return;
            colours.transparency.assign(d, d + c.length);
            colours.transparency.resize(256, 255);
            colours.transparencyKey = 0;
        } else if ((type == 0 && c.length == 2) || (type == 2 && c.length == 6)) {
            colours.transparency.assign(d, d + c.length);
            colours.wholeSixteenBitKey = true;
            bool fits = true;
            for (size_t i = 0; i < c.length; i += 2) fits = fits && (d[i] << 8 | d[i + 1]) < (1 << depth);
            if (depth == 16 || fits)
                colours.transparencyKey = type == 0 ? d[1] : int32_t{d[1]} << 16 | int32_t{d[3]} << 8 | d[5];
        } else {
            return;
        }
        r.haveTransparency = true;
        r.info.hasAlpha = true;
    }

    std::span<const uint8_t> file_;
    bool checkCritical_, checkAncillary_;
};

bool IsPng(std::span<const uint8_t> file) { return file.size() >= 8 && std::memcmp(file.data(), kSignature, 8) == 0; }

// The image data in one piece: in place when it is one chunk, gathered
// otherwise.
std::span<const uint8_t> JoinData(const std::vector<std::span<const uint8_t>>& parts, std::vector<uint8_t>& joined) {
    if (parts.size() == 1) return parts[0];
    size_t total = 0;
    for (auto p : parts) total += p.size();
    joined.reserve(total);
    for (auto p : parts) joined.insert(joined.end(), p.begin(), p.end());
    return joined;
}

// The inflated size the rows need: passes without pixels have no bytes at
// all, not even filter bytes. -1 beyond 2^31 - 1.
int64_t RowsSize(const png::ImageFormat& f, bool interlaced) {
    int64_t total = 0;
    for (int i = interlaced ? 0 : png::kWholeImagePass; i < (interlaced ? png::kWholeImagePass : 8); ++i) {
        const int64_t rows = png::PassRows(f, png::kPasses[i]), columns = png::PassColumns(f, png::kPasses[i]);
        if (rows > 0 && columns > 0) total += rows * (png::RowBytes(f, columns) + 1);
        if (total > INT32_MAX) return -1;
    }
    return total;
}

bool ZlibHeaderValid(std::span<const uint8_t> data) {
    return data.size() >= 2 && (data[0] & 0x0F) == 8 && (data[0] >> 4) <= 7 && !(data[1] & 0x20) &&
           (data[0] << 8 | data[1]) % 31 == 0;
}

}  // namespace

DecodeResult ReadPngInfo(std::span<const uint8_t> file) {
    if (!IsPng(file)) return Fail(DecodeStatus::NotAPicture, "no known format starts this way");
    Reading r;
    return ChunkWalker(file, false, true).Walk(r, true);
}

DecodeResult DecodePng(std::span<const uint8_t> file, const DecodeOptions& options, const ImageInfo&,
                       const OutputRows& out) {
    const bool check = options.checkChecksums;
    Reading r;
    DecodeResult walked = ChunkWalker(file, check, check).Walk(r, false);
    if (!walked) return walked;
    const ImageInfo& info = r.info;
    const int64_t expected = RowsSize(r.format, r.interlaced);
    if (expected < 0) return Fail(DecodeStatus::TooLarge, "the image data would exceed 2 GiB", info);

    std::vector<uint8_t> joined;
    const std::span<const uint8_t> data = JoinData(r.data, joined);
    if (check && !ZlibHeaderValid(data)) return Fail(DecodeStatus::Damaged, "the image data's zlib header is not valid", info);
    png::PreparePalette(r.format, r.colours);
    png::RowDecoder rows(r.format, r.colours, r.interlaced, out);
    // One byte more than the rows need shows whether the data goes on past
    // them; libpng ignores such data, and so its checksum.
    WindowedInflater inflater(data, static_cast<size_t>(expected) + 1);
    uint32_t adler = 1;
    size_t produced = 0;
    for (std::span<const uint8_t> part;;) {
        if (!inflater.Next(part)) return Fail(DecodeStatus::Damaged, "the compressed image data is damaged or cut short", info);
        if (part.empty()) break;
        if (check) adler = Adler32(adler, part.data(), part.size());
        produced += part.size();
        if (!rows.Feed(part)) return Fail(DecodeStatus::Damaged, kBadRow, info);
    }
    if (produced < static_cast<size_t>(expected))
        return Fail(DecodeStatus::Truncated, "the image data ends before the last row", info);
    size_t end = 0;
    if (check && produced == static_cast<size_t>(expected) && inflater.StreamEnded(end)) {
        if (data.size() - end < 4) return Fail(DecodeStatus::Truncated, "the image data ends before its Adler-32", info);
        if (BigEndian32(&data[end]) != adler)
            return Fail(DecodeStatus::ChecksumMismatch, "the image data's Adler-32 does not match", info);
    }
    if (!rows.Finish()) return Fail(DecodeStatus::Damaged, kBadRow, info);
    return Success(info);
}

}  // namespace mendlow::entry
