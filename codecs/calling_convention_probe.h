// Tells from the machine code of a 3-argument export whether it removes its
// own arguments (stdcall) or leaves that to the caller (cdecl).
#pragma once

#include <cstdint>
#include <span>

enum class CallingConvention { Unknown, Cdecl, Stdcall };

// Scans from the entry point: "ret 12" (C2 0C 00) means stdcall; a plain
// "ret" (C3) not preceded by 33 (which would make it part of an xor) means
// cdecl. Unknown when neither shows within the bytes given.
CallingConvention ProbeThreeArgumentConvention(std::span<const uint8_t> code);
