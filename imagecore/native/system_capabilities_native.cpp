#include "imagecore/system_capabilities.h"

uint32_t ProbeSystemCapabilities() { return capability::kGdiplusNever; }
