// Fuzzes restoring the control from stored properties: any values of any
// kind under its keys, any image bytes; then the layout, a paint into a host
// image, saving, and a few setters. Whatever is stored, nothing may read or
// write outside its buffers, and no buffer may grow beyond what the control's
// size and its image need.
//
// Input: flags (bit 0 run mode, bit 1 no zlib), width, height, entry count,
// entries (key index, kind, value), then the image bytes when no entry gave them.
#include <cmath>
#include <cstring>

#include "imagecontrol/tests/recording_site.h"

namespace {

const char* const kKeys[] = {"Image", "Scaler", "Opacity", "Mirror", "Angle", "GrayScale", "HitTest", "Props",
                             "MaskUsed", "MaskColor", "MaskSource", "Mask", "Enabled", "MIcon", "MPointer",
                             "OLEdrop", "ScaleCx", "ScaleCy", "ShadowColor", "ShadowDepth", "ShadowX", "ShadowY",
                             "ShadowOpacity", "Intensity"};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint64_t Bits(int bytes) {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v = v << 8 | Byte();
        return v;
    }
    // Mostly small; one value in 8 is any 64-bit number.
    int64_t Integer() {
        const uint8_t b = Byte();
        if ((b & 0xE0) == 0xE0) return static_cast<int64_t>(Bits(8));
        return static_cast<int64_t>(b) - 16;
    }
    Bytes Take(size_t count) {
        count = std::min(count, size_ - at_);
        Bytes out(data_ + at_, data_ + at_ + count);
        at_ += count;
        return out;
    }
    Bytes Rest() { return Take(size_ - at_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

PropertyValue ReadValue(Reader& in) {
    switch (in.Byte() % 5) {
        case 0: return in.Integer();
        case 1: {
            const uint64_t bits = in.Bits(8);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return d;
        }
        case 2: return in.Byte() != 0;
        case 3: return std::string(1, static_cast<char>(in.Byte()));
        default: return in.Take(static_cast<size_t>(in.Bits(2)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    const uint8_t flags = in.Byte();
    TestControl t(1 + in.Byte() % 96, 1 + in.Byte() % 96, (flags & 1) == 0);
    modParsers::SetZlibDisabled((flags & 2) != 0);
    const int entries = in.Byte() % 32;
    bool haveImage = false;
    for (int i = 0; i < entries; ++i) {
        const char* key = kKeys[in.Byte() % std::size(kKeys)];
        haveImage = haveImage || key == kKeys[0];
        t.site.WriteProperty(key, ReadValue(in), PropertyValue(std::string("\x01none")));
    }
    if (!haveImage) t.site.stored.emplace_back("Image", in.Rest());

    t.control.ReadProperties();
    t.control.Resize();
    const auto hostWidth = static_cast<int32_t>(std::min(512.0, std::max(1.0, std::round(t.site.width))));
    const auto hostHeight = static_cast<int32_t>(std::min(512.0, std::max(1.0, std::round(t.site.height))));
    c32bppDIB host(capability::kGdiplusNever);
    if (host.InitializeDIB(hostWidth, hostHeight)) t.control.Paint({nullptr, &host}, {0, 0, hostWidth, hostHeight});
    t.control.WriteProperties();
    t.control.SetRotateEnabled(!t.control.RotateEnabled());
    t.control.SetAutoRedraw(!t.control.AutoRedraw());
    t.control.SetHitTest(2);
    t.control.HitTestPoint(static_cast<float>(hostWidth) / 2, static_cast<float>(hostHeight) / 2);
    if (host.Handle() != 0) t.control.Paint({nullptr, &host}, {0, 0, hostWidth, hostHeight});

    // The mouse over it and out again, a click, and a fade run to its end.
    int16_t hit = 0, button = 1, shift = 0;
    t.control.OnHitTest(static_cast<float>(flags % 64), static_cast<float>(flags / 4 % 64), hit);
    t.control.OnMouseDown(button, shift, 1, 1);
    t.control.OnMouseUp(button, shift, 1, 1);
    t.control.OnClick();
    t.system.cursorX = 1 << 20;
    t.control.FadeInOut(static_cast<int32_t>(flags) - 20, static_cast<int8_t>(flags), 0);
    for (int tick = 0; tick < 120 && !t.system.timers.empty(); ++tick) t.system.Tick();
    modParsers::SetZlibDisabled(false);
    return 0;
}
