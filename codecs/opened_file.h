// A file opened for reading by name and closed when this object goes: the
// Win32 handle of the wide-name open routine on Windows, a stdio stream
// natively.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "codecs/file_reader.h"

#ifdef _WIN32
#include "common/win32_handles.h"
#endif

class OpenedFile {
public:
    // Nothing when the file cannot be opened for reading.
    static std::optional<OpenedFile> ForReading(const std::wstring& fileName);

    FileReader Reader() const { return FileReader(file_.get()); }

private:
#ifdef _WIN32
    using Owner = win32::Handle;
#else
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using Owner = std::unique_ptr<std::FILE, Closer>;
#endif
    explicit OpenedFile(Owner file) : file_(std::move(file)) {}

    Owner file_;
};
