// Natively zlib is linked in: present unless switched off.
#include "codecs/modParsers.h"

namespace modParsers {

bool ZlibAvailable(std::string& dllName, int32_t& whichDll, bool& isCdecl, bool& hasCompress2, bool presenceOnly) {
    if (IsZlibDisabled()) {
        dllName = "zlib.dll";
        whichDll = 0;
        hasCompress2 = false;
        return false;
    }
    dllName = "zlib1.dll";
    whichDll = 2;
    hasCompress2 = true;
    if (!presenceOnly) isCdecl = true;
    return true;
}

}  // namespace modParsers
