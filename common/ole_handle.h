// The handle a picture object reports is an OLE_HANDLE, 32 bits wide at every
// pointer size. GDI and USER handles carry 32 significant bits, and 64-bit
// Windows sign-extends them, so widening goes through a signed 32-bit value.
#pragma once

#include <olectl.h>

#include <cstdint>

namespace win32 {

template <class Handle>
Handle FromOleHandle(OLE_HANDLE handle) {
    return reinterpret_cast<Handle>(static_cast<intptr_t>(static_cast<int32_t>(handle)));
}

}  // namespace win32
