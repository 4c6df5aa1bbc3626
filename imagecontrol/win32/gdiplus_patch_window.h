// GDI+ shut-downs: how many wait for theirs after their top-level window
// went, and the ones done so far (their count and the last token shut down).
#pragma once

#include <cstddef>
#include <cstdint>

size_t PendingGdiplusShutdowns();
size_t GdiplusShutdownsDone();
uintptr_t LastGdiplusShutdownToken();
