// The six lines a finished repair run leaves in the list, spelled out here
// rather than taken from the code under test.
#pragma once

#include <string>
#include <vector>

inline const std::vector<std::wstring> kExpectedStatusLines = {
    L"Repairing Network, Please Wait...",
    L"Step 01/04 - Releasing IP Information...",
    L"Step 02/04 - Purging DNS Cache...",
    L"Step 03/04 - Refreshing DHCP & DNS...",
    L"Step 04/04 - Renewing IP Information...",
    L"DONE!",
};
