#include "codecs/file_reader.h"

int64_t FileReader::Size() const {
    if (!file_ || fseeko(file_, 0, SEEK_END) != 0) return -1;
    return static_cast<int64_t>(ftello(file_));
}

bool FileReader::ReadAt(int64_t position, uint8_t* out, size_t count) const {
    if (!file_ || position < 0 || fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) return false;
    return std::fread(out, 1, count, file_) == count;
}
