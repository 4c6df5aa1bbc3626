#include "app/host/property_bag.h"

#include <algorithm>

namespace host {

const PropertyValue* PropertyBag::Find(const std::string& key) const {
    for (const auto& [name, value] : entries_)
        if (name == key) return &value;
    return nullptr;
}

void PropertyBag::Set(const std::string& key, PropertyValue value) {
    for (auto& [name, existing] : entries_) {
        if (name == key) {
            existing = std::move(value);
            return;
        }
    }
    entries_.emplace_back(key, std::move(value));
}

void PropertyBag::Remove(const std::string& key) {
    std::erase_if(entries_, [&](const auto& entry) { return entry.first == key; });
}

int64_t PropertyBag::ReadInt(const std::string& key, int64_t defaultValue) const {
    const PropertyValue* value = Find(key);
    if (value == nullptr) return defaultValue;
    if (const auto* i = std::get_if<int64_t>(value)) return *i;
    if (const auto* b = std::get_if<bool>(value)) return *b ? 1 : 0;
    return defaultValue;
}

double PropertyBag::ReadReal(const std::string& key, double defaultValue) const {
    const PropertyValue* value = Find(key);
    if (value == nullptr) return defaultValue;
    if (const auto* d = std::get_if<double>(value)) return *d;
    if (const auto* i = std::get_if<int64_t>(value)) return static_cast<double>(*i);
    return defaultValue;
}

bool PropertyBag::ReadBool(const std::string& key, bool defaultValue) const {
    const PropertyValue* value = Find(key);
    if (value == nullptr) return defaultValue;
    if (const auto* b = std::get_if<bool>(value)) return *b;
    if (const auto* i = std::get_if<int64_t>(value)) return *i != 0;
    return defaultValue;
}

std::string PropertyBag::ReadText(const std::string& key, const std::string& defaultValue) const {
    const PropertyValue* value = Find(key);
    if (const auto* s = value ? std::get_if<std::string>(value) : nullptr) return *s;
    return defaultValue;
}

Bytes PropertyBag::ReadBytes(const std::string& key) const {
    const PropertyValue* value = Find(key);
    if (const auto* b = value ? std::get_if<Bytes>(value) : nullptr) return *b;
    return {};
}

void PropertyBag::Write(const std::string& key, PropertyValue value, const PropertyValue& defaultValue) {
    if (value == defaultValue)
        Remove(key);
    else
        Set(key, std::move(value));
}

}  // namespace host
