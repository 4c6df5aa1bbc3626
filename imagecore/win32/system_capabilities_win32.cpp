#include <windows.h>

#include "imagecore/system_capabilities.h"

uint32_t ProbeSystemCapabilities() {
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    WindowsVersion version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
        version = {extended.dwPlatformId, extended.dwMajorVersion, extended.dwMinorVersion,
                   extended.wServicePackMajor};
    } else {
        OSVERSIONINFOA basic{};
        basic.dwOSVersionInfoSize = sizeof basic;
        if (GetVersionExA(&basic)) version = {basic.dwPlatformId, basic.dwMajorVersion, basic.dwMinorVersion, 0};
    }
#pragma GCC diagnostic pop
    return CapabilityBitsFor(version);
}
