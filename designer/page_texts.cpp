#include "designer/page_texts.h"

namespace designer {
namespace {

const char* FormatText(int32_t imageType, bool hasAlpha) {
    switch (imageType) {
        case 1: return "Bitmap or JPG file";
        case 2:
        case 4: return "Windows Meta File";
        case 6:
        case 7: return "Alpha Bitmap";
        case 9: return hasAlpha ? "Transparent GIF" : "GIF file";
        case 10: return "PNG file";
        default: return "";
    }
}

}  // namespace

std::string FormatDescription(int32_t width, int32_t height, int32_t imageType, bool hasAlpha) {
    return std::to_string(width) + " x " + std::to_string(height) + " - " + FormatText(imageType, hasAlpha);
}

bool StartsLikeJpeg(std::span<const uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

std::wstring OpenFileFilter(bool gdiplusEnabled) {
    std::wstring images = L"*gif;*.bmp;*.jpg;*.jpeg;*.ico;*.cur;*.wmf;*.emf;*.png";
    if (gdiplusEnabled) images += L";*.tiff";
    const std::wstring pairs[][2] = {
        {L"Image Files", images},         {L"Bitmaps", L"*.bmp"},   {L"GIFs", L"*.gif"},
        {L"Icons and Cursors", L"*.ico;*.cur"}, {L"JPGs", L"*.jpg;*.jpeg"}, {L"Meta Files", L"*.wmf;*.emf"},
        {L"PNGs", L"*.png"},              {L"Tiff", L"*.tiff"},     {L"All Files", L"*.*"},
    };
    std::wstring filter;
    for (const auto& [description, pattern] : pairs) {
        if (description == L"Tiff" && !gdiplusEnabled) continue;
        filter += description;
        filter += L'\0';
        filter += pattern;
        filter += L'\0';
    }
    filter += L'\0';
    return filter;
}

int32_t CentredIn(int32_t frameStart, int32_t frameSize, int32_t previewSize) {
    return frameStart + (frameSize - previewSize) / 2;
}

}  // namespace designer
