// Where libspng and the decoding entry both read a file, their straight RGBA
// (libspng's RGBA8 with tRNS applied) must be equal byte for byte.
#include <spng.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "mendlow/image_codecs.h"

namespace {

constexpr uint32_t kSide = 2048;  // both decoders' limit: 4 megapixels

bool DecodeWithSpng(const uint8_t* file, size_t size, std::vector<uint8_t>& rgba) {
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_image_limits(ctx, kSide, kSide);
    spng_set_chunk_limits(ctx, 1 << 24, 1 << 24);
    size_t bytes = 0;
    spng_ihdr header;
    bool ok = spng_set_png_buffer(ctx, file, size) == 0 && spng_get_ihdr(ctx, &header) == 0 &&
              uint64_t{header.width} * header.height <= uint64_t{1} << 22 &&
              spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &bytes) == 0;
    if (ok) {
        rgba.resize(bytes);
        ok = spng_decode_image(ctx, rgba.data(), bytes, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) == 0;
    }
    spng_ctx_free(ctx);
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mendlow::DecodeOptions options;
    options.maxPixels = uint64_t{1} << 22;
    mendlow::DecodedImage ours;
    if (!mendlow::DecodeImage(data, size, options, ours)) return 0;
    if (ours.width > int32_t(kSide) || ours.height > int32_t(kSide)) return 0;
    std::vector<uint8_t> theirs;
    if (!DecodeWithSpng(data, size, theirs)) return 0;
    if (theirs != ours.pixels) std::abort();
    return 0;
}
