#include <windows.h>

#include <algorithm>

#include "codecs/calling_convention_probe.h"
#include "codecs/modParsers.h"

namespace modParsers {
namespace {

#ifndef _WIN64
// Far enough for any crc32 entry; never past the end of the library's image.
constexpr size_t kProbeScanLimit = 64 * 1024;

std::span<const uint8_t> CodeFrom(HMODULE library, FARPROC entry) {
    auto base = reinterpret_cast<const uint8_t*>(library);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    auto start = reinterpret_cast<const uint8_t*>(entry);
    const uint8_t* end = base + nt->OptionalHeader.SizeOfImage;
    if (start < base || start >= end) return {};
    return {start, std::min<size_t>(kProbeScanLimit, static_cast<size_t>(end - start))};
}
#endif

// x86_64 Windows has a single calling convention, in which the caller removes
// the arguments: every library there is called as cdecl, without a probe.
CallingConvention ConventionOf(HMODULE library, FARPROC crc32) {
#ifdef _WIN64
    (void)library, (void)crc32;
    return CallingConvention::Cdecl;
#else
    return ProbeThreeArgumentConvention(CodeFrom(library, crc32));
#endif
}

}  // namespace

bool ZlibAvailable(std::string& dllName, int32_t& whichDll, bool& isCdecl, bool& hasCompress2, bool presenceOnly) {
    dllName = IsZlibDisabled() ? "zlib.dll" : "zlib1.dll";
    whichDll = IsZlibDisabled() ? 0 : 2;
    while (whichDll > 0) {
        win32::Library library = LoadShippedLibrary(dllName);
        if (library) {
            hasCompress2 = GetProcAddress(library.get(), "compress2") != nullptr;
            FARPROC crc = GetProcAddress(library.get(), "crc32");
            if (crc != nullptr) {
                if (presenceOnly) break;
                // A library whose convention cannot be told is never called.
                CallingConvention convention = ConventionOf(library.get(), crc);
                if (convention != CallingConvention::Unknown) {
                    isCdecl = convention == CallingConvention::Cdecl;
                    break;
                }
            }
            hasCompress2 = false;
        }
        dllName = "zlib.dll";
        --whichDll;
    }
    if (whichDll == 0) hasCompress2 = false;
    return whichDll != 0;
}

}  // namespace modParsers
