// Runs one console command line with its standard output captured.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/command_outcome.h"

namespace app {

inline constexpr size_t kConsoleOutputLimit = 10240;
// A command still running after this long is ended (a hung ipconfig /renew).
inline constexpr uint32_t kCommandTimeLimitMs = 120000;

// Called on every pass while the child runs, however busy its output, and
// twice after it: processes window messages and answers false when waiting
// should stop (the child is then left to end on its own, its output is
// dropped and the outcome is Abandoned).
using KeepWaiting = std::function<bool()>;

// Which program runs and where, both by full path: the program elevated
// callers start is never looked for on PATH or in the current folder.
struct ConsoleProgram {
    std::wstring path;    // the program file
    std::wstring folder;  // the child's current folder
};

// The result's text: the first kConsoleOutputLimit bytes the command wrote,
// decoded with the OEM code page (what console programs write to a pipe), a
// character cut by the limit dropped; or "Error: CreatePipe failed. ",
// "Error: CreateProcess failed. " or "Error: ReadFile failed. " followed by
// the system's error code, the outcome then saying so with the system's
// message. Standard error is not captured.
// The child runs in a job of its own, so that at the time limit it and
// whatever it started (its console too) are ended together; what they wrote
// until then is kept. A program not given by full path is not started.
CommandResult RunConsoleCommand(const ConsoleProgram& program, const std::wstring& commandLine,
                                const KeepWaiting& keepWaiting = {}, uint32_t timeLimitMs = kCommandTimeLimitMs);

// Decodes captured output; truncated: the bytes were cut at the limit, so a
// character split there is dropped.
std::wstring DecodeConsoleOutput(std::vector<uint8_t> bytes, bool truncated, uint32_t codePage);

// The system's own copy of the command's program ("ipconfig /release":
// ipconfig.exe in the system folder), started in the system folder; a
// program of that name beside ours or on PATH never runs instead.
ConsoleProgram SystemProgramFor(const std::wstring& commandLine);
CommandResult RunSystemCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting);

}  // namespace app
