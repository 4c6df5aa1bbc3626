// zlib as a codec uses it: found at run time on Windows (either calling
// convention), linked in natively. Every call of a missing library or
// export reads as failure: crc32 gives 0, the others a non-zero status.
#pragma once

#include <cstdint>
#include <memory>

#ifdef _WIN32
#include "codecs/win32/cCDECL.h"
#include "common/win32_handles.h"
#endif

class ZlibBinding {
public:
    // Looks for zlib as the codecs do (nothing when switched off).
    ZlibBinding();
    ~ZlibBinding();
    ZlibBinding(const ZlibBinding&) = delete;
    ZlibBinding& operator=(const ZlibBinding&) = delete;

    bool IsAvailable() const { return whichDll_ != 0; }
    int32_t WhichDll() const { return whichDll_; }  // 2 "zlib1.dll", 1 "zlib.dll", 0 none
    bool IsCdecl() const { return isCdecl_; }
    bool HasCompress2() const { return hasCompress2_; }

    uint32_t Crc32(uint32_t crc, const uint8_t* data, uint32_t length);
    int Uncompress(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength);
    int Compress(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength);
    int Compress2(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength, int level);

private:
    int32_t whichDll_ = 0;
    bool isCdecl_ = false;
    bool hasCompress2_ = false;
#ifdef _WIN32
    std::unique_ptr<cCDECL> cdecl_;  // a cdecl library is called through it
    win32::Library stdcallLibrary_;  // a stdcall one directly
#endif
};
