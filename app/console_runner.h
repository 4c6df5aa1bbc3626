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

// Which program runs and where. Empty: the system's search for the command
// line's first word, in the caller's current folder.
struct ConsoleProgram {
    std::wstring path;    // the program file, by its full path
    std::wstring folder;  // the child's current folder
};

// Returns the first kConsoleOutputLimit bytes the command wrote, converted
// from the ANSI code page, or "Error: CreatePipe failed. ",
// "Error: CreateProcess failed. " or "Error: ReadFile failed. " followed by
// the system's error code. Standard error is not captured.
std::wstring RunConsoleCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting = {},
                               const ConsoleProgram& program = {});

// The system's own copy of the command's program ("ipconfig /release":
// ipconfig.exe in the system folder), started in the system folder; a
// program of that name beside ours or on PATH never runs instead.
ConsoleProgram SystemProgramFor(const std::wstring& commandLine);
std::wstring RunSystemCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting);

}  // namespace app
