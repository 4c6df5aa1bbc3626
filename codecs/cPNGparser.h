// PNG decoder: recognises PNG data, lets GDI+ try first, then walks and
// checks the chunks, inflates the image data (zlib or the built-in
// inflater) and writes the pixels into the host image.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class c32bppDIB;
class FileReader;
class ZlibBinding;
namespace png {
class RowDecoder;
}

class cPNGparser {
public:
    // True when the data is PNG (it starts with the signature): the decoder
    // dealt with it, and the host holds an image exactly when decoding
    // succeeded. False: not PNG. The caller's bytes are read in place.
    bool LoadStream(std::span<const uint8_t> Stream, c32bppDIB& dibClass, int64_t streamOffset, int64_t streamLength,
                    uintptr_t GlobalToken);

    // The same from an open file, read one chunk at a time from its start.
    // FileName (not empty) is what GDI+ is given. A file of 56 bytes or
    // fewer is not tested for the signature: true only if GDI+ loads it.
    bool LoadFile(const FileReader& FileHandle, const std::wstring& FileName, c32bppDIB& dibClass,
                  uintptr_t GlobalToken);

private:
    // Where the chunks come from: the caller's bytes in place, or a file.
    class Source;
    class StreamSource;
    class FileSource;

    struct Header {
        int32_t width = 0, height = 0;
        uint8_t bitDepth = 0, colourType = 0, interlace = 0;
    };

    void DecodeChunks(Source& source, c32bppDIB& host);
    bool WalkChunks(Source& source, ZlibBinding& zlib);
    bool ReadHeader(std::span<const uint8_t> chunkData);
    bool Decode(c32bppDIB& host, ZlibBinding& zlib);
    std::unique_ptr<uint8_t[]> InflateWithZlib(ZlibBinding& zlib, size_t& inflatedSize);
    bool InflateInto(png::RowDecoder& rows);

    Header header_;
    bool haveHeader_ = false;
    int64_t expectedSize_ = 0;
    std::vector<uint8_t> palette_;
    std::vector<uint8_t> transparency_;
    int32_t transparencyKey_ = -1;
    std::vector<uint8_t> compressed_;
};
