// ICO and CUR for the public entry: the image the image object chooses
// when no size is asked for, a bitmap decoded here and a PNG image through
// the PNG entry. Straight output keeps the colours under the AND mask.
#include <optional>

#include "codecs/ico_bitmap.h"
#include "codecs/picture_entry.h"

namespace mendlow::entry {
namespace {

constexpr int32_t kDefaultSize = 32;  // the image object's choice without a size
constexpr int32_t kDefaultDepth = 32;
constexpr size_t kFileHeader = 6;
constexpr size_t kEntrySize = 16;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Read32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

struct Plan {
    ImageInfo info;
    std::span<const uint8_t> png;  // the chosen image when it is a PNG
    ImageInfo pngInfo;
    std::optional<ico::BitmapLayout> bitmap;
};

// Why ico::ReadDirectory refused the file.
DecodeResult Refusal(std::span<const uint8_t> file, const ImageInfo& info) {
    if (file.size() < kFileHeader) return Fail(DecodeStatus::Truncated, "the file ends inside the icon header", info);
    const size_t count = Read16(&file[4]);
    if (count == 0) return Fail(DecodeStatus::Damaged, "the icon directory lists no images", info);
    if (file.size() < kFileHeader + kEntrySize * count)
        return Fail(DecodeStatus::Truncated, "the file ends inside the icon directory", info);
    uint64_t total = kFileHeader + kEntrySize * count;
    for (size_t i = 0; i < count; ++i) total += Read32(&file[kFileHeader + kEntrySize * i + 8]);
    if (total > file.size()) return Fail(DecodeStatus::Truncated, "the file is shorter than its images' sizes add up to", info);
    return Fail(DecodeStatus::Damaged, "an image of the icon directory lies outside the file or has no usable header", info);
}

// Whether the chosen image's bytes reach past the end of the file.
bool CutShort(std::span<const uint8_t> file, const ico::Entry& entry) {
    return uint64_t{entry.imageOffset} + entry.bytesInResource > file.size();
}

DecodeResult MakePlan(std::span<const uint8_t> file, Plan& plan) {
    ImageInfo& info = plan.info;
    info.format = file.size() > 2 && file[2] == ico::kCursor ? FileFormat::Cur : FileFormat::Ico;
    std::optional<ico::Directory> directory = ico::ReadDirectory(file);
    if (!directory) return Refusal(file, info);
    const std::optional<size_t> chosen =
        ico::ChooseEntry(directory->entries, kDefaultSize, kDefaultSize, kDefaultDepth);
    if (!chosen) return Fail(DecodeStatus::Damaged, "no image of the icon directory can be used", info);
    const ico::Entry& entry = directory->entries[*chosen];
    if (CutShort(file, entry)) return Fail(DecodeStatus::Truncated, "the file ends inside the chosen image", info);

    if (entry.IsPng()) {
        plan.png = file.subspan(entry.imageOffset, entry.bytesInResource);
        DecodeResult png = ReadPngInfo(plan.png);
        plan.pngInfo = png.info;
        info.width = png.info.width, info.height = png.info.height, info.hasAlpha = png.info.hasAlpha;
        return {png.status, png.message, info};
    }
    info.width = entry.width, info.height = entry.height;
    plan.bitmap = ico::LayOutBitmap(file, entry);
    if (!plan.bitmap) return Fail(DecodeStatus::Damaged, "the chosen image's header or sizes do not fit its bytes", info);
    info.hasAlpha = entry.bitCount == 32 || ico::MasksAnyPixel(*plan.bitmap);
    return Success(info);
}

}  // namespace

DecodeResult ReadIconInfo(std::span<const uint8_t> file) {
    Plan plan;
    return MakePlan(file, plan);
}

DecodeResult DecodeIcon(std::span<const uint8_t> file, const DecodeOptions& options, const ImageInfo& info,
                        const OutputRows& out) {
    Plan plan;
    DecodeResult planned = MakePlan(file, plan);
    if (!planned) return planned;
    if (!SameSize(plan.info, info)) return SizeChanged(info);
    if (plan.bitmap) {
        ico::DecodeBitmap(*plan.bitmap, out);
        return planned;
    }
    const DecodeResult png = DecodePng(plan.png, options, plan.pngInfo, out);
    return {png.status, png.message, plan.info};
}

}  // namespace mendlow::entry
