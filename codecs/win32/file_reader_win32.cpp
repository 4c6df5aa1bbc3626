#include "codecs/file_reader.h"

int64_t FileReader::Size() const {
    LARGE_INTEGER size{};
    if (file_ == nullptr || file_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(file_, &size)) return -1;
    return size.QuadPart;
}

bool FileReader::ReadAt(int64_t position, uint8_t* out, size_t count) const {
    LARGE_INTEGER at{};
    at.QuadPart = position;
    if (position < 0 || !SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return false;
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(count < 0x40000000 ? count : 0x40000000), read = 0;
        if (!ReadFile(file_, out, chunk, &read, nullptr) || read == 0) return false;
        out += read;
        count -= read;
    }
    return true;
}
