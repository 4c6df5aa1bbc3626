#include <zlib.h>

#include "codecs/modParsers.h"
#include "codecs/zlib_binding.h"

ZlibBinding::ZlibBinding() {
    std::string name;
    modParsers::ZlibAvailable(name, whichDll_, isCdecl_, hasCompress2_, false);
}

ZlibBinding::~ZlibBinding() = default;

uint32_t ZlibBinding::Crc32(uint32_t crc, const uint8_t* data, uint32_t length) {
    return IsAvailable() ? static_cast<uint32_t>(crc32(crc, data, length)) : 0;
}

namespace {

template <class Operation>
int WithLength(uint32_t& outLength, Operation operation) {
    uLongf length = outLength;
    int status = operation(&length);
    outLength = static_cast<uint32_t>(length);
    return status;
}

}  // namespace

int ZlibBinding::Uncompress(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength) {
    if (!IsAvailable()) return Z_STREAM_ERROR;
    return WithLength(outLength, [&](uLongf* length) { return uncompress(out, length, in, inLength); });
}

int ZlibBinding::Compress(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength) {
    if (!IsAvailable()) return Z_STREAM_ERROR;
    return WithLength(outLength, [&](uLongf* length) { return compress(out, length, in, inLength); });
}

int ZlibBinding::Compress2(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength, int level) {
    if (!IsAvailable()) return Z_STREAM_ERROR;
    return WithLength(outLength, [&](uLongf* length) { return compress2(out, length, in, inLength, level); });
}
