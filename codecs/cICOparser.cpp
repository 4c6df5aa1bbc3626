#include "codecs/cICOparser.h"

#include "codecs/cPNGparser.h"
#include "codecs/ico_bitmap.h"
#include "imagecore/c32bppDIB.h"

namespace {
constexpr int32_t kDefaultSize = 32;
}

bool cICOparser::LoadStream(std::span<const uint8_t> inStream, int32_t desiredWidth, int32_t desiredHeight,
                            c32bppDIB* cHost, int64_t streamOffset, int64_t streamLength, int32_t icoBitDepth,
                            uintptr_t GlobalToken) {
    chosen_ = 0;
    entries_.clear();
    type_ = ico::kIcon;
    const int64_t size = static_cast<int64_t>(inStream.size());
    if (streamOffset < 0 || streamOffset > size || streamLength < 0) return false;
    if (streamLength == 0) streamLength = size - streamOffset;
    if (streamLength > size - streamOffset) return false;
    std::span<const uint8_t> file = inStream.subspan(size_t(streamOffset), size_t(streamLength));

    std::optional<ico::Directory> directory = ico::ReadDirectory(file);
    if (!directory) return false;
    entries_ = std::move(directory->entries);
    type_ = directory->type;
    if (cHost == nullptr) return true;

    if (desiredWidth < 1) desiredWidth = kDefaultSize;
    if (desiredHeight < 1) desiredHeight = kDefaultSize;
    std::optional<size_t> chosen = ico::ChooseEntry(entries_, desiredWidth, desiredHeight, icoBitDepth);
    if (!chosen) return true;
    chosen_ = static_cast<int32_t>(*chosen + 1);
    const ico::Entry& entry = entries_[*chosen];

    if (entry.IsPng()) {
        const bool isPng = cPNGparser().LoadStream(inStream, *cHost, streamOffset + entry.imageOffset,
                                                   entry.bytesInResource, GlobalToken);
        if (isPng && cHost->Handle() != 0) cHost->SetImageType(imgIconPNG);
        return isPng;
    }
    ico::DecodeBitmap(file, entry, IsCursor(), *cHost);
    return true;
}

const ico::Entry* cICOparser::At(int32_t Index) const {
    if (Index < 1 || Index > IconCount()) return nullptr;
    return &entries_[size_t(Index - 1)];
}

int32_t cICOparser::Width(int32_t Index) const { return At(Index) ? At(Index)->width : 0; }
int32_t cICOparser::Height(int32_t Index) const { return At(Index) ? At(Index)->height : 0; }
int32_t cICOparser::bitDepth(int32_t Index) const { return At(Index) ? At(Index)->bitCount : 0; }
bool cICOparser::IsIconPNG(int32_t Index) const { return At(Index) && At(Index)->IsPng(); }
int32_t cICOparser::ColorCount(int32_t Index) const { return At(Index) ? At(Index)->ColourCount() : 0; }
int64_t cICOparser::ColorByteOffset(int32_t Index) const { return At(Index) ? At(Index)->ColourByteOffset() : 0; }
