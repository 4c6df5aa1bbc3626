// The control's published members with their help texts and dispatch
// identifiers, as a designer or a script host describes them.
#pragma once

#include <cstdint>
#include <span>

struct MemberDescription {
    const char* name;
    int32_t dispatchId;  // 0: assigned by the host
    const char* help;              // the getter's, where the setter has its own
    const char* setHelp = nullptr;  // the setter's own text, where it differs
    // For the reference: a property's type, a method's or an event's C++ form.
    const char* type = nullptr;
    // Properties: the values the setter takes, and a new control's value.
    const char* range = nullptr;
    const char* defaultValue = nullptr;
};

std::span<const MemberDescription> aicAlphaImageProperties();
std::span<const MemberDescription> aicAlphaImageMethods();
std::span<const MemberDescription> aicAlphaImageEvents();  // dispatch id = event number
