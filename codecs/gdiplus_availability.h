// Whether the GDI+ bridge may be used at all in this process.
#pragma once

namespace gdiplus {

// Makes GDI+ count as absent for the whole process (tests, command-line
// switches): every bridge operation then reports false without touching it.
void SetDisabled(bool disabled);
bool IsDisabled();

// Whether GDI+ is installed and starts; natively there is none.
bool CanStart();

}  // namespace gdiplus
