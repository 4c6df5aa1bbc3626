// How many GDI+ shut-downs wait for their delay after their window went.
#pragma once

#include <cstddef>

size_t PendingGdiplusShutdowns();
