// Loading: offers the source to each decoder in turn, keeps the source
// bytes when asked.
#include <optional>

#include "codecs/cBMPparser.h"
#include "codecs/cGIFparser.h"
#include "codecs/cICOparser.h"
#include "codecs/cPNGparser.h"
#include "codecs/file_reader.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/opened_file.h"
#include "imagecore/c32bppDIB.h"

namespace {

// Shorter sources cannot hold any format we read; they are not even offered.
constexpr int64_t kShortestImage = 57;

struct Window {
    int64_t start, length;
};

// The bytes of inStream that hold the image, or nothing when the window
// leaves the array.
std::optional<Window> NormalisedWindow(std::span<const uint8_t> inStream, int64_t streamStart, int64_t streamLength) {
    const int64_t size = static_cast<int64_t>(inStream.size());
    if (streamStart < 0) streamStart = 0;
    if (streamLength == 0) streamLength = size - streamStart;
    if (streamStart > size || streamLength < 0 || streamLength > size - streamStart) return std::nullopt;
    return Window{streamStart, streamLength};
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const FileReader& file, int64_t size) {
    if (size < 0) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && !file.ReadAt(0, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

}  // namespace

bool c32bppDIB::LoadPicture_File(const std::wstring& FileName, int32_t iconCx, int32_t iconCy, bool SaveFormat,
                                 int32_t iconBitDepth) {
    std::optional<OpenedFile> file = OpenedFile::ForReading(FileName);
    if (!file) return false;
    const FileReader reader = file->Reader();
    if (reader.Size() < kShortestImage) return false;
    return pvLoadPicture(&reader, FileName, {}, iconCx, iconCy, 0, 0, SaveFormat, iconBitDepth);
}

bool c32bppDIB::LoadPicture_Stream(std::span<const uint8_t> inStream, int32_t iconCx, int32_t iconCy,
                                   int64_t streamStart, int64_t streamLength, bool SaveFormat, int32_t iconBitDepth) {
    if (inStream.empty()) return false;
    std::optional<Window> window = NormalisedWindow(inStream, streamStart, streamLength);
    if (!window || window->length < kShortestImage) return false;
    return pvLoadPicture(nullptr, L"", inStream, iconCx, iconCy, window->start, window->length, SaveFormat,
                         iconBitDepth);
}

bool c32bppDIB::LoadPicture_FromOrignalFormat(int32_t iconCx, int32_t iconCy, int32_t iconBitDepth) {
    const std::vector<uint8_t> kept = originalFormat_;  // loading destroys the kept bytes first
    return LoadPicture_Stream(kept, iconCx, iconCy, 0, 0, true, iconBitDepth);
}

bool c32bppDIB::pvLoadPicture(const FileReader* fileHandle, const std::wstring& FileName,
                              std::span<const uint8_t> inStream, int32_t iconCx, int32_t iconCy, int64_t streamStart,
                              int64_t streamLength, bool SaveFormat, int32_t iconBitDepth) {
    DestroyDIB();
    if (iconCx < 0) iconCx = 0;
    if (iconCy < 0) iconCy = 0;
    if (iconBitDepth < 0 || iconBitDepth > 32) iconBitDepth = 32;

    // Bytes read here (the whole file, or PNG made by GDI+) replace the caller's.
    std::vector<uint8_t> ownBytes;
    bool accepted = fileHandle ? cPNGparser().LoadFile(*fileHandle, FileName, *this, gdiToken_)
                               : cPNGparser().LoadStream(inStream, *this, streamStart, streamLength, gdiToken_);
    if (!accepted) {
        if (fileHandle) {
            std::optional<std::vector<uint8_t>> whole = ReadWholeFile(*fileHandle, fileHandle->Size());
            if (!whole) return false;
            ownBytes = std::move(*whole);
            inStream = ownBytes;
            streamStart = 0;
            streamLength = static_cast<int64_t>(ownBytes.size());
        }
        // Each decoder recognises its own format; the first that does ends the search.
        cGIFparser().LoadStream(inStream, *this, streamStart, streamLength) ||
            cICOparser().LoadStream(inStream, iconCx, iconCy, this, streamStart, streamLength, iconBitDepth,
                                    gdiToken_) ||
            cBMPparser().LoadStream(inStream, *this, streamStart, streamLength);
    }

    if (Handle() == 0 && isGDIplusEnabled()) {
        const auto window = inStream.subspan(static_cast<size_t>(streamStart), static_cast<size_t>(streamLength));
        if (gdiplus::LoadIntoImage(FileName, window, *this, gdiToken_) && SaveFormat) {
            std::vector<uint8_t> png;
            if (gdiplus::SaveImageAsPng(*this, png, gdiToken_)) {
                ownBytes = std::move(png);
                inStream = ownBytes;
                fileHandle = nullptr;
            }
        }
    }

    if (Handle() != 0 && SaveFormat) {
        if (!inStream.empty() || !fileHandle) {
            SetOriginalFormat(inStream);
        } else if (std::optional<std::vector<uint8_t>> whole = ReadWholeFile(*fileHandle, fileHandle->Size())) {
            originalFormat_ = std::move(*whole);
        }
    }
    return Handle() != 0;
}
