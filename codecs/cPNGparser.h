// PNG decoder: recognises PNG data, lets GDI+ try first, then walks and
// checks the chunks, inflates the image data (zlib or the built-in
// inflater) and writes the pixels into the host image.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class c32bppDIB;
class ZlibBinding;

class cPNGparser {
public:
    // True when the data is PNG (it starts with the signature): the decoder
    // dealt with it, and the host holds an image exactly when decoding
    // succeeded. False: not PNG. The caller's bytes are read in place.
    bool LoadStream(std::span<const uint8_t> Stream, c32bppDIB& dibClass, int64_t streamOffset, int64_t streamLength,
                    uint32_t GlobalToken);

private:
    struct Header {
        int32_t width = 0, height = 0;
        uint8_t bitDepth = 0, colourType = 0, interlace = 0;
    };

    bool WalkChunks(std::span<const uint8_t> data, ZlibBinding& zlib);
    bool ReadHeader(std::span<const uint8_t> chunkData);
    bool Decode(c32bppDIB& host, ZlibBinding& zlib);

    Header header_;
    bool haveHeader_ = false;
    int64_t expectedSize_ = 0;
    std::vector<uint8_t> palette_;
    std::vector<uint8_t> transparency_;
    int32_t transparencyKey_ = -1;
    std::vector<uint8_t> compressed_;
};
