// Pixel loops with x86 instructions beyond the compiler's baseline, each
// compiled for its instructions alone and chosen at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define MENDLOW_X86_PIXELS 1

bool HasSsse3();
// RGB samples to opaque four-byte pixels, red or blue first, four pixels per
// byte shuffle (SSSE3). Reads at most 3 x pixels bytes.
void ExpandRgbSsse3(const uint8_t* rgb, uint8_t* pixels, size_t count, bool redFirst);
#endif
