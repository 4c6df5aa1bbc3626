#include "codecs/modParsers.h"
#include "codecs/opened_file.h"

std::optional<OpenedFile> OpenedFile::ForReading(const std::wstring& fileName) {
    Owner file = modParsers::GetFileHandle(fileName, true);
    if (!file) return std::nullopt;
    return OpenedFile(std::move(file));
}
