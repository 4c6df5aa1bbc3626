// GIF decoder (GIF87a and GIF89a): the first image of the data, at its own
// size, with the transparent colour of its graphic-control block as real
// transparency.
#pragma once

#include <cstdint>
#include <span>

class c32bppDIB;

class cGIFparser {
public:
    // True when the data was taken as GIF: the host now holds the first
    // image, or the data began as a GIF but broke while it was read (then
    // the host holds no image). False: not a GIF, no image in it, or an
    // image without any colour table. The caller's bytes are read in place.
    bool LoadStream(std::span<const uint8_t> inStream, c32bppDIB& cHost, int64_t streamOffset, int64_t streamLength);
};
