// Runs one console command line with its standard output captured.
#pragma once

#include <functional>
#include <string>

namespace app {

inline constexpr size_t kConsoleOutputLimit = 10240;

// Called while the child runs and twice after it: processes window messages
// and answers false when waiting should stop (the child is then left to end
// on its own and its output is dropped).
using KeepWaiting = std::function<bool()>;

// Returns the first kConsoleOutputLimit bytes the command wrote, converted
// from the ANSI code page, or "Error: CreatePipe failed. ",
// "Error: CreateProcess failed. " or "Error: ReadFile failed. " followed by
// the system's error code. Standard error is not captured.
std::wstring RunConsoleCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting = {});

}  // namespace app
