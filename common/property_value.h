// A stored property value of a form or control: integer, real number,
// boolean, UTF-8 text or a byte array.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using Bytes = std::vector<uint8_t>;
using PropertyValue = std::variant<int64_t, double, bool, std::string, Bytes>;
