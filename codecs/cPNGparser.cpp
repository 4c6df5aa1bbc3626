#include "codecs/cPNGparser.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "codecs/file_reader.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/inflater.h"
#include "codecs/png_pixels.h"
#include "codecs/zlib_binding.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr int64_t kLargestPosition = 2147483647;

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool IsType(const uint8_t* type, const char (&name)[5]) { return std::memcmp(type, name, 4) == 0; }

}  // namespace

class cPNGparser::Source {
public:
    virtual ~Source() = default;
    virtual int64_t Size() const = 0;
    // count bytes at position, valid until the next call; empty on failure.
    virtual std::span<const uint8_t> Read(int64_t position, size_t count) = 0;
};

class cPNGparser::StreamSource : public Source {
public:
    explicit StreamSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    std::span<const uint8_t> Read(int64_t position, size_t count) override {
        return bytes_.subspan(static_cast<size_t>(position), count);  // the walk checked the bounds
    }

private:
    std::span<const uint8_t> bytes_;
};

class cPNGparser::FileSource : public Source {
public:
    FileSource(const FileReader& file, int64_t size) : file_(file), size_(size) {}
    int64_t Size() const override { return size_; }
    std::span<const uint8_t> Read(int64_t position, size_t count) override {
        buffer_.resize(count);
        if (!file_.ReadAt(position, buffer_.data(), count)) return {};
        return buffer_;
    }

private:
    const FileReader& file_;
    int64_t size_;
    std::vector<uint8_t> buffer_;
};

bool cPNGparser::LoadStream(std::span<const uint8_t> Stream, c32bppDIB& dibClass, int64_t streamOffset,
                            int64_t streamLength, uintptr_t GlobalToken) {
    transparencyKey_ = -1;
    if (streamOffset < 0 || streamLength < 8 || streamOffset > static_cast<int64_t>(Stream.size()) ||
        streamLength > static_cast<int64_t>(Stream.size()) - streamOffset)
        return false;
    std::span<const uint8_t> view = Stream.subspan(static_cast<size_t>(streamOffset), static_cast<size_t>(streamLength));
    if (std::memcmp(view.data(), kSignature, 8) != 0) return false;
    if (gdiplus::LoadIntoImage(L"", view, dibClass, GlobalToken)) return true;
    StreamSource source(view);
    DecodeChunks(source, dibClass);
    return true;
}

bool cPNGparser::LoadFile(const FileReader& FileHandle, const std::wstring& FileName, c32bppDIB& dibClass,
                          uintptr_t GlobalToken) {
    transparencyKey_ = -1;
    constexpr int64_t kTooShortToTest = 56;
    const int64_t size = FileHandle.Size();
    if (size < 0) return false;
    if (size <= kTooShortToTest) return gdiplus::LoadIntoImage(FileName, {}, dibClass, GlobalToken);
    uint8_t start[8];
    if (!FileHandle.ReadAt(0, start, sizeof start) || std::memcmp(start, kSignature, 8) != 0) return false;
    if (gdiplus::LoadIntoImage(FileName, {}, dibClass, GlobalToken)) return true;
    FileSource source(FileHandle, size);
    DecodeChunks(source, dibClass);
    return true;
}

void cPNGparser::DecodeChunks(Source& source, c32bppDIB& host) {
    ZlibBinding zlib;
    bool decoded = false;
    try {
        // Room for the whole file: pages never written cost nothing, and the
        // data is never moved to a larger buffer while the old one holds it.
        compressed_.reserve(static_cast<size_t>(source.Size()));
        decoded = WalkChunks(source, zlib) && !compressed_.empty() && haveHeader_ && Decode(host, zlib);
    } catch (const std::bad_alloc&) {
        // An image too large for the address space fails like bad data.
    }
    if (!decoded) host.DestroyDIB();
    std::vector<uint8_t>().swap(compressed_);
}

bool cPNGparser::WalkChunks(Source& source, ZlibBinding& zlib) {
    const int64_t size = source.Size();
    // Checksums are tested only with zlib; a stored checksum of 0 never is.
    auto checksumOk = [&](const uint8_t* typeAndData, uint32_t length, uint32_t stored) {
        if (!zlib.IsAvailable() || stored == 0) return true;
        uint32_t computed = zlib.Crc32(0, typeAndData, length + 4);
        return computed != 0 && computed == stored;
    };

    for (int64_t position = 8;;) {
        if (size - position < 8) return false;  // the data ends before IEND
        std::span<const uint8_t> lengthBytes = source.Read(position, 4);
        if (lengthBytes.size() != 4) return false;
        uint32_t length = BigEndian32(lengthBytes.data());
        if (length & 0x80000000u) return false;
        int64_t end = position + int64_t{length} + 12;
        if (end > size || end > kLargestPosition) return false;
        // Type, data and checksum in one read.
        std::span<const uint8_t> chunk = source.Read(position + 4, size_t{length} + 8);
        if (chunk.size() != size_t{length} + 8) return false;
        const uint8_t* type = chunk.data();
        const uint8_t* body = type + 4;
        uint32_t stored = BigEndian32(body + length);
        const uint8_t colourType = header_.colourType;

        if (length == 0) {
            if (IsType(type, "IEND")) return true;
        } else if (IsType(type, "IHDR")) {
            if (!checksumOk(type, length, stored) || !ReadHeader({body, length})) return false;
        } else if (IsType(type, "PLTE")) {
            if (colourType == 2 || colourType == 3 || colourType == 6) {
                if (!checksumOk(type, length, stored) || length % 3 != 0) return false;
                palette_.assign(body, body + length);
            }
        } else if (IsType(type, "tRNS")) {
            if (colourType == 0 || colourType == 2 || colourType == 3) {
                if (!checksumOk(type, length, stored)) return false;
                transparency_.assign(body, body + length);
                if (colourType == 0 && length >= 2) {
                    transparencyKey_ = body[1];
                } else if (colourType == 2 && length >= 6) {
                    transparencyKey_ = int32_t{body[1]} << 16 | int32_t{body[3]} << 8 | body[5];
                } else if (colourType == 3) {
                    if (transparency_.size() < 256) transparency_.resize(256, 255);
                    transparencyKey_ = 0;
                }
            }
        } else if (IsType(type, "IDAT")) {
            if (!checksumOk(type, length, stored)) return false;
            compressed_.insert(compressed_.end(), body, body + length);
        } else if (IsType(type, "IEND")) {
            return true;
        }
        position = end;
    }
}

bool cPNGparser::ReadHeader(std::span<const uint8_t> d) {
    if (d.size() < 13) return false;
    Header h;
    h.width = static_cast<int32_t>(BigEndian32(d.data()));
    h.height = static_cast<int32_t>(BigEndian32(d.data() + 4));
    h.bitDepth = d[8];
    h.colourType = d[9];
    h.interlace = d[12];
    int64_t expected = png::CheckHeader(h.width, h.height, h.bitDepth, h.colourType, d[10], d[11], h.interlace);
    if (expected < 0) return false;
    header_ = h;
    haveHeader_ = true;
    expectedSize_ = expected;
    return true;
}

// zlib's one call needs the whole inflated image at once: it runs before the
// image exists, and the compressed data goes as soon as it is done. The
// built-in inflater hands the data over a window at a time instead. Either
// way the output is bound by the expected size, and what the data did not
// reach is decoded from zeros.
bool cPNGparser::Decode(c32bppDIB& host, ZlibBinding& zlib) {
    size_t inflatedSize = 0;
    const std::unique_ptr<uint8_t[]> inflated = InflateWithZlib(zlib, inflatedSize);
    png::ImageFormat format{header_.width, header_.height, header_.bitDepth, header_.colourType};
    png::Colours colours{std::move(palette_), std::move(transparency_), transparencyKey_};
    png::PreparePalette(format, colours);
    if (!host.InitializeDIB(header_.width, header_.height)) return false;
    png::RowDecoder rows(format, colours, header_.interlace == 1, OutputRows::Of(host.Pixels()));
    const bool fed = inflated ? rows.Feed({inflated.get(), inflatedSize}) : InflateInto(rows);
    if (!fed || !rows.Finish()) return false;
    host.SetAlpha(!(header_.colourType < 4 && transparencyKey_ == -1));
    host.SetImageType(imgPNG);
    return true;
}

// Null when zlib is absent or refuses the data.
std::unique_ptr<uint8_t[]> cPNGparser::InflateWithZlib(ZlibBinding& zlib, size_t& inflatedSize) {
    if (!zlib.IsAvailable()) return nullptr;
    const size_t size = static_cast<size_t>(expectedSize_);
    std::unique_ptr<uint8_t[]> inflated;
    try {
        inflated = std::make_unique_for_overwrite<uint8_t[]>(size);  // only what zlib wrote is read
    } catch (const std::bad_alloc&) {
        return nullptr;  // too large for the address space beside the image: the window needs far less
    }
    uint32_t produced = static_cast<uint32_t>(size);
    if (zlib.Uncompress(inflated.get(), produced, compressed_.data(), static_cast<uint32_t>(compressed_.size())) != 0)
        return nullptr;
    inflatedSize = std::min<size_t>(produced, size);
    std::vector<uint8_t>().swap(compressed_);
    return inflated;
}

bool cPNGparser::InflateInto(png::RowDecoder& rows) {
    WindowedInflater inflater(compressed_, static_cast<size_t>(expectedSize_));
    for (std::span<const uint8_t> part;;) {
        if (!inflater.Next(part)) return false;
        if (part.empty()) return true;
        if (!rows.Feed(part)) return false;
    }
}
