// Writing a whole file at once by name: the Win32 write-open helper on
// Windows, stdio natively.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// Replaces the file's content with bytes; false when it cannot be opened or
// not everything was written.
bool WriteWholeFile(const std::wstring& fileName, std::span<const uint8_t> bytes);
