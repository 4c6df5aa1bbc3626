// Where a byte buffer cut at a fixed size may end without splitting a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace app {

// For double-byte code pages: the longest prefix that ends on a whole
// character, given which bytes open a two-byte character.
size_t WholeCharacterPrefixDbcs(std::span<const uint8_t> bytes, const std::function<bool(uint8_t)>& isLeadByte);

// The same for UTF-8: drops a trailing sequence that was cut short.
size_t WholeCharacterPrefixUtf8(std::span<const uint8_t> bytes);

}  // namespace app
