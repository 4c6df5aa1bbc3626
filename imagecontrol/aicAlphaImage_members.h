// The control's published members with their help texts and dispatch
// identifiers, as a designer or a script host describes them.
#pragma once

#include <cstdint>
#include <span>

struct MemberDescription {
    const char* name;
    int32_t dispatchId;  // 0: assigned by the host
    const char* help;
};

std::span<const MemberDescription> aicAlphaImageProperties();
std::span<const MemberDescription> aicAlphaImageMethods();
std::span<const MemberDescription> aicAlphaImageEvents();  // dispatch id = event number
