#include <filesystem>

#include "codecs/opened_file.h"

std::optional<OpenedFile> OpenedFile::ForReading(const std::wstring& fileName) {
    Owner file(std::fopen(std::filesystem::path(fileName).c_str(), "rb"));
    if (!file) return std::nullopt;
    return OpenedFile(std::move(file));
}
