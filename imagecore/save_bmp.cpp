// The image as a BMP file: 32-bit as stored when it has alpha, else 24-bit
// from the word-aligned blue-green-red rows.
#include <cstring>
#include <limits>
#include <new>

#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr uint32_t kHeadersSize = 14 + 40;

void Put16(uint8_t* at, uint16_t value) { std::memcpy(at, &value, 2); }
void Put32(uint8_t* at, uint32_t value) { std::memcpy(at, &value, 4); }

void WriteHeaders(uint8_t* out, int32_t width, int32_t height, uint16_t bitCount, uint32_t pixelBytes) {
    std::memset(out, 0, kHeadersSize);
    Put16(out, 0x4D42);  // "BM"
    Put32(out + 2, kHeadersSize + pixelBytes);
    Put32(out + 10, kHeadersSize);
    Put32(out + 14, 40);
    Put32(out + 18, static_cast<uint32_t>(width));
    Put32(out + 22, static_cast<uint32_t>(height));  // positive: rows bottom-up
    Put16(out + 26, 1);
    Put16(out + 28, bitCount);
    Put32(out + 34, pixelBytes);
}

}  // namespace

bool c32bppDIB::SaveToStream(std::vector<uint8_t>& outStream) const {
    if (Handle() == 0) return false;
    const uint16_t bitCount = Alpha() ? 32 : 24;
    const std::optional<int32_t> rowSize = modParsers::AlignedScanWidth(bitCount, Width());
    if (!rowSize || *rowSize > (std::numeric_limits<int32_t>::max() - int32_t{kHeadersSize}) / Height()) {
        outStream.clear();
        return false;
    }
    const auto pixelBytes = static_cast<uint32_t>(*rowSize) * static_cast<uint32_t>(Height());
    try {
        std::vector<uint8_t> file(kHeadersSize + size_t{pixelBytes});
        WriteHeaders(file.data(), Width(), Height(), bitCount, pixelBytes);
        if (bitCount == 32) {
            std::memcpy(file.data() + kHeadersSize, BitsPointer(), pixelBytes);
        } else {
            std::vector<uint8_t> rows;
            if (!GetDIBbits(rows, true, true, false, true, true) || rows.size() != pixelBytes) {
                outStream.clear();
                return false;
            }
            std::memcpy(file.data() + kHeadersSize, rows.data(), pixelBytes);
        }
        outStream = std::move(file);
        return true;
    } catch (const std::bad_alloc&) {
        outStream.clear();
        return false;
    }
}
