// Named property values of a form or control, in the order they were stored.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/property_value.h"

namespace host {

using ::Bytes;
using ::PropertyValue;

class PropertyBag {
public:
    const PropertyValue* Find(const std::string& key) const;
    bool Has(const std::string& key) const { return Find(key) != nullptr; }

    // Replaces an existing value in place, or appends a new key.
    void Set(const std::string& key, PropertyValue value);
    void Remove(const std::string& key);

    // Typed reads; the default is returned when the key is missing or holds
    // another kind of value. Integers widen to reals.
    int64_t ReadInt(const std::string& key, int64_t defaultValue) const;
    double ReadReal(const std::string& key, double defaultValue) const;
    bool ReadBool(const std::string& key, bool defaultValue) const;
    std::string ReadText(const std::string& key, const std::string& defaultValue) const;
    Bytes ReadBytes(const std::string& key) const;

    // Stores the value, or drops the key when the value equals its default.
    void Write(const std::string& key, PropertyValue value, const PropertyValue& defaultValue);

    const std::vector<std::pair<std::string, PropertyValue>>& Entries() const { return entries_; }
    bool operator==(const PropertyBag&) const = default;

private:
    std::vector<std::pair<std::string, PropertyValue>> entries_;
};

}  // namespace host
