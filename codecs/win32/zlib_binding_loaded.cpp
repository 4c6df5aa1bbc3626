#include "codecs/modParsers.h"
#include "codecs/zlib_binding.h"
#include "common/system_library.h"

namespace {

constexpr int kStreamError = -2;  // what zlib itself answers for unusable arguments

cCDECL::Argument Address(const void* pointer) { return reinterpret_cast<cCDECL::Argument>(pointer); }

using Crc32Std = unsigned long(__stdcall*)(unsigned long, const uint8_t*, unsigned);
using UncompressStd = int(__stdcall*)(uint8_t*, unsigned long*, const uint8_t*, unsigned long);
using Compress2Std = int(__stdcall*)(uint8_t*, unsigned long*, const uint8_t*, unsigned long, int);

int Status(std::optional<uint32_t> result) { return result ? static_cast<int>(*result) : kStreamError; }

}  // namespace

ZlibBinding::ZlibBinding() {
    std::string name;
    if (!modParsers::ZlibAvailable(name, whichDll_, isCdecl_, hasCompress2_, false)) return;
    if (isCdecl_) {
        cdecl_ = std::make_unique<cCDECL>();
        if (!cdecl_->DllLoad(name)) whichDll_ = 0;
    } else {
        stdcallLibrary_ = modParsers::LoadShippedLibrary(name);
        if (!stdcallLibrary_) whichDll_ = 0;
    }
}

ZlibBinding::~ZlibBinding() = default;

uint32_t ZlibBinding::Crc32(uint32_t crc, const uint8_t* data, uint32_t length) {
    if (cdecl_) return cdecl_->CallFunc("crc32", {crc, Address(data), length}).value_or(0);
    auto function = win32::Export<Crc32Std>(stdcallLibrary_.get(), "crc32");
    return function ? static_cast<uint32_t>(function(crc, data, length)) : 0;
}

namespace {

template <class Call>
int WithLength(uint32_t& outLength, Call call) {
    unsigned long length = outLength;
    int status = call(&length);
    outLength = static_cast<uint32_t>(length);
    return status;
}

}  // namespace

int ZlibBinding::Uncompress(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength) {
    return WithLength(outLength, [&](unsigned long* length) {
        if (cdecl_) return Status(cdecl_->CallFunc("uncompress", {Address(out), Address(length), Address(in), inLength}));
        auto function = win32::Export<UncompressStd>(stdcallLibrary_.get(), "uncompress");
        return function ? function(out, length, in, inLength) : kStreamError;
    });
}

int ZlibBinding::Compress(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength) {
    return WithLength(outLength, [&](unsigned long* length) {
        if (cdecl_) return Status(cdecl_->CallFunc("compress", {Address(out), Address(length), Address(in), inLength}));
        auto function = win32::Export<UncompressStd>(stdcallLibrary_.get(), "compress");
        return function ? function(out, length, in, inLength) : kStreamError;
    });
}

int ZlibBinding::Compress2(uint8_t* out, uint32_t& outLength, const uint8_t* in, uint32_t inLength, int level) {
    return WithLength(outLength, [&](unsigned long* length) {
        if (cdecl_)
            return Status(cdecl_->CallFunc(
                "compress2", {Address(out), Address(length), Address(in), inLength, static_cast<cCDECL::Argument>(level)}));
        auto function = win32::Export<Compress2Std>(stdcallLibrary_.get(), "compress2");
        return function ? function(out, length, in, inLength, level) : kStreamError;
    });
}
