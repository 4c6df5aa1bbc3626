#include <windows.h>

#include <algorithm>

#include "codecs/file_writer.h"
#include "codecs/modParsers.h"

bool WriteWholeFile(const std::wstring& fileName, std::span<const uint8_t> bytes) {
    win32::Handle file = modParsers::GetFileHandle(fileName, false);
    if (!file) return false;
    while (!bytes.empty()) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), part, &written, nullptr) || written == 0) return false;
        bytes = bytes.subspan(written);
    }
    return true;
}
