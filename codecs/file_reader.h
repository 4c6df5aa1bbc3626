// Random access to an open file that the caller owns: a Win32 handle on
// Windows, a stdio stream natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

class FileReader {
public:
#ifdef _WIN32
    using NativeFile = HANDLE;
#else
    using NativeFile = std::FILE*;
#endif
    explicit FileReader(NativeFile file) : file_(file) {}

    // The file's size, or -1 when it cannot be told.
    int64_t Size() const;
    // Reads exactly count bytes at position; false on a short read or error.
    bool ReadAt(int64_t position, uint8_t* out, size_t count) const;

private:
    NativeFile file_;
};
