#include "designer/alpha_image_properties.h"

#include "imagecontrol/aicAlphaImage_members.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

namespace designer {
namespace {

enum class Kind { Boolean, Integer, Real, Colour };

struct Editable {
    const char* name;
    Kind kind;
    std::function<double(const aicAlphaImage&)> get;
    std::function<void(aicAlphaImage&, double)> set;
};

#define MENDLOW_FLAG(Name) \
    {#Name, Kind::Boolean, [](const aicAlphaImage& c) { return c.Name() ? 1.0 : 0.0; }, \
     [](aicAlphaImage& c, double v) { c.Set##Name(v != 0); }}
#define MENDLOW_NUMBER(Name, K, Type) \
    {#Name, K, [](const aicAlphaImage& c) { return static_cast<double>(c.Name()); }, \
     [](aicAlphaImage& c, double v) { c.Set##Name(static_cast<Type>(v)); }}

const std::vector<Editable>& Table() {
    static const std::vector<Editable> table = {
        MENDLOW_FLAG(AutoRedraw),
        MENDLOW_FLAG(AutoSize),
        MENDLOW_FLAG(Enabled),
        MENDLOW_NUMBER(grayScale, Kind::Integer, int32_t),
        MENDLOW_NUMBER(HitTest, Kind::Integer, int32_t),
        MENDLOW_NUMBER(IntensityOffset, Kind::Real, float),
        MENDLOW_FLAG(InversedImage),
        MENDLOW_FLAG(KeepOriginalFormat),
        MENDLOW_NUMBER(MaskColor, Kind::Colour, uint32_t),
        MENDLOW_NUMBER(MaskUsed, Kind::Integer, int32_t),
        MENDLOW_NUMBER(Mirror, Kind::Integer, int32_t),
        MENDLOW_NUMBER(MousePointer, Kind::Integer, int32_t),
        MENDLOW_NUMBER(OLEDropMode, Kind::Integer, int32_t),
        MENDLOW_NUMBER(Opacity, Kind::Integer, int32_t),
        MENDLOW_FLAG(RotateEnabled),
        MENDLOW_NUMBER(Rotation, Kind::Integer, int32_t),
        MENDLOW_NUMBER(ScaleMethod, Kind::Integer, int32_t),
        MENDLOW_NUMBER(ShadowColor, Kind::Colour, uint32_t),
        MENDLOW_NUMBER(ShadowDepth, Kind::Integer, int32_t),
        MENDLOW_FLAG(ShadowEnabled),
        MENDLOW_NUMBER(ShadowOffsetX, Kind::Integer, int32_t),
        MENDLOW_NUMBER(ShadowOffsetY, Kind::Integer, int32_t),
        MENDLOW_NUMBER(ShadowOpacity, Kind::Integer, int32_t),
        MENDLOW_FLAG(StretchQuality),
    };
    return table;
}

#undef MENDLOW_FLAG
#undef MENDLOW_NUMBER

const Editable* Find(std::string_view name) {
    for (const Editable& e : Table())
        if (name == e.name) return &e;
    return nullptr;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

template <class T>
std::optional<T> Number(std::string_view s, int base = 10) {
    T value{};
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<double> Parse(Kind kind, std::string_view text) {
    text = Trim(text);
    switch (kind) {
        case Kind::Boolean:
            if (text == "True" || text == "true" || text == "-1" || text == "1") return 1.0;
            if (text == "False" || text == "false" || text == "0") return 0.0;
            return std::nullopt;
        case Kind::Integer:
            if (auto v = Number<int32_t>(text)) return *v;
            return std::nullopt;
        case Kind::Real: {
            std::string copy(text);
            char* end = nullptr;
            double v = std::strtod(copy.c_str(), &end);
            if (copy.empty() || end != copy.c_str() + copy.size()) return std::nullopt;
            return v;
        }
        case Kind::Colour:
            if (text.starts_with("0x") || text.starts_with("0X")) {
                if (auto v = Number<uint32_t>(text.substr(2), 16)) return *v;
                return std::nullopt;
            }
            if (auto v = Number<uint32_t>(text)) return *v;
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

const std::vector<std::string>& EditablePropertyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Editable& e : Table()) list.emplace_back(e.name);
        return list;
    }();
    return names;
}

std::string PropertyText(const aicAlphaImage& control, std::string_view name) {
    const Editable* e = Find(name);
    if (!e) return {};
    double value = e->get(control);
    char text[32];
    switch (e->kind) {
        case Kind::Boolean: return value != 0 ? "True" : "False";
        case Kind::Colour:
            std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(static_cast<uint32_t>(value)));
            return text;
        case Kind::Real: std::snprintf(text, sizeof text, "%g", value); return text;
        case Kind::Integer: break;
    }
    return std::to_string(static_cast<int64_t>(value));
}

bool SetPropertyFromText(aicAlphaImage& control, std::string_view name, std::string_view text) {
    const Editable* e = Find(name);
    std::optional<double> value = e ? Parse(e->kind, text) : std::nullopt;
    if (!value) return false;
    e->set(control, *value);
    return true;
}

std::string PropertyHelp(std::string_view name) {
    for (const MemberDescription& member : aicAlphaImageProperties()) {
        if (name != member.name) continue;
        std::string help = member.help;
        if (member.setHelp) help += std::string("\r\n") + member.setHelp;
        return help;
    }
    return {};
}

}  // namespace designer
