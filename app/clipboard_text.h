// Unicode text onto the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// Replaces what the clipboard holds; false when it could not be opened or
// the memory not had.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);

}  // namespace app
