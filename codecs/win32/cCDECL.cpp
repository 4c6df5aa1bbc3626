#include "codecs/win32/cCDECL.h"

#include <vector>

#include "codecs/modParsers.h"

namespace {

using Arg = cCDECL::Argument;

// The exports return 32-bit values; only those bits of the result register count.
uint32_t Invoke(FARPROC address, const std::vector<Arg>& a) {
    void* target = reinterpret_cast<void*>(address);
    switch (a.size()) {
        case 0: return reinterpret_cast<uint32_t(__cdecl*)()>(target)();
        case 1: return reinterpret_cast<uint32_t(__cdecl*)(Arg)>(target)(a[0]);
        case 2: return reinterpret_cast<uint32_t(__cdecl*)(Arg, Arg)>(target)(a[0], a[1]);
        case 3: return reinterpret_cast<uint32_t(__cdecl*)(Arg, Arg, Arg)>(target)(a[0], a[1], a[2]);
        case 4: return reinterpret_cast<uint32_t(__cdecl*)(Arg, Arg, Arg, Arg)>(target)(a[0], a[1], a[2], a[3]);
        default:
            return reinterpret_cast<uint32_t(__cdecl*)(Arg, Arg, Arg, Arg, Arg)>(target)(a[0], a[1], a[2], a[3], a[4]);
    }
}

}  // namespace

bool cCDECL::DllLoad(const std::string& sName) {
    library_ = modParsers::LoadShippedLibrary(sName);
    if (!library_) return false;
    libraryChanged_ = true;
    return true;
}

bool cCDECL::DllUnload() {
    if (!library_) return false;
    bool released = FreeLibrary(library_.release()) != FALSE;
    address_ = nullptr;
    libraryChanged_ = true;
    return released;
}

std::optional<uint32_t> cCDECL::CallFunc(const std::string& sFunction, std::initializer_list<Argument> parmLongs) {
    if (!library_ || parmLongs.size() > kMaxArguments) return std::nullopt;
    // Look the export up only when the name or the library changed.
    if (libraryChanged_ || sFunction != lastFunction_) {
        address_ = GetProcAddress(library_.get(), sFunction.c_str());
        lastFunction_ = sFunction;
        libraryChanged_ = false;
    }
    if (address_ == nullptr) return std::nullopt;
    SetLastError(0);
    uint32_t result = Invoke(address_, std::vector<Arg>(parmLongs));
    lastError_ = GetLastError();
    return result;
}
