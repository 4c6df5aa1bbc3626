// The built-in inflater: zlib-wrapped DEFLATE data, used when zlib is absent
// or refuses the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// Into a buffer of known size. The two zlib header bytes are skipped untested
// and the Adler-32 trailer is not read. Output that would run past out.size()
// ends inflation there, successfully; data that ends sooner leaves the rest of
// out zero-filled, so out need not be initialised. False on malformed or
// truncated data (bytes already written stay, the rest of out is undefined);
// nothing outside the two buffers is ever touched.
bool InflateZlibStream(std::span<const uint8_t> in, std::span<uint8_t> out);

// The same decisions a part at a time, for a consumer that wants at most
// total bytes but need not hold them all: the output goes into a window of
// 64 KiB of history plus about partBytes, which is reused.
class WindowedInflater {
public:
    WindowedInflater(std::span<const uint8_t> in, size_t total, size_t partBytes = size_t{1} << 20);
    ~WindowedInflater();
    WindowedInflater(const WindowedInflater&) = delete;
    WindowedInflater& operator=(const WindowedInflater&) = delete;

    // The next bytes of output, valid until the next call; empty once the
    // output is complete, either total bytes or fewer when the data ended
    // sooner (the rest then counts as zeros). False on malformed or truncated
    // data, where InflateZlibStream fails.
    bool Next(std::span<const uint8_t>& part);

    // Whether the data's final block has ended (not merely total reached),
    // and where: the offset in the input of the first byte after it, where
    // the Adler-32 trailer starts.
    bool StreamEnded(size_t& endOffset) const;

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
    size_t total_;
    bool ended_;
};
