#include <cstdio>
#include <filesystem>
#include <memory>

#include "codecs/file_writer.h"

bool WriteWholeFile(const std::wstring& fileName, std::span<const uint8_t> bytes) {
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(std::filesystem::path(fileName).c_str(), "wb"));
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}
