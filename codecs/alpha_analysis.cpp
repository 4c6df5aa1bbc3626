#include "codecs/modParsers.h"
#include "imagecore/image_types.h"

namespace modParsers {
namespace {

enum class Evidence { None, ColourUnderTransparency, NotPremultiplied };

void MakeOpaque(const PixelView& pixels) {
    uint8_t* p = pixels.bits;
    for (size_t i = 0, n = pixels.PixelCount(); i < n; ++i, p += 4) p[3] = 255;
}

void Premultiply(const PixelView& pixels) {
    uint8_t* p = pixels.bits;
    for (size_t i = 0, n = pixels.PixelCount(); i < n; ++i, p += 4) {
        unsigned a = p[3];
        if (a == 255) continue;
        if (a == 0) {
            p[0] = p[1] = p[2] = 0;
            continue;
        }
        p[0] = static_cast<uint8_t>(p[0] * a / 255);
        p[1] = static_cast<uint8_t>(p[1] * a / 255);
        p[2] = static_cast<uint8_t>(p[2] * a / 255);
    }
}

}  // namespace

AlphaUse ClassifyAlpha(std::span<const uint8_t> bgra) {
    const size_t count = bgra.size() / 4;
    size_t transparent = 0, opaque = 0;
    Evidence evidence = Evidence::None;
    const uint8_t* p = bgra.data();
    for (size_t i = 0; i < count && evidence != Evidence::NotPremultiplied; ++i, p += 4) {
        uint8_t a = p[3];
        if (a == 0) {
            ++transparent;
            if (evidence == Evidence::None && (p[0] | p[1] | p[2])) evidence = Evidence::ColourUnderTransparency;
        } else if (evidence == Evidence::ColourUnderTransparency) {
            evidence = Evidence::NotPremultiplied;
        } else if (a == 255) {
            ++opaque;
        } else if (p[0] > a || p[1] > a || p[2] > a) {
            evidence = Evidence::NotPremultiplied;
        }
    }
    // Compared with every pixel, not with those scanned before a stop.
    if (transparent == count || opaque == count) return AlphaUse::Ignored;
    return evidence == Evidence::None ? AlphaUse::Premultiplied : AlphaUse::Straight;
}

void ValidateAlphaChannel(const PixelView& pixels, bool premultiply, bool& hasAlpha, int32_t& imageType) {
    const size_t count = pixels.bits ? pixels.PixelCount() : 0;
    const AlphaUse use =
        imageType == imgNone || count == 0 ? AlphaUse::Ignored : ClassifyAlpha({pixels.bits, count * 4});
    if (use == AlphaUse::Ignored) {
        imageType = imgBitmap;
        hasAlpha = false;
        if (premultiply && count != 0) MakeOpaque(pixels);
    } else if (use == AlphaUse::Premultiplied) {
        imageType = imgBitmapPremultiplied;
        hasAlpha = true;
    } else {
        imageType = imgBitmapAlpha;
        hasAlpha = true;
        if (premultiply) Premultiply(pixels);
    }
}

}  // namespace modParsers
