// How a console command ended, and the line the status list shows under a
// step that did not succeed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace app {

// Abandoned: the caller stopped waiting before the command ended.
enum class CommandEnd { Exited, NotStarted, TimedOut, Abandoned };

struct CommandOutcome {
    CommandEnd end = CommandEnd::Exited;
    uint32_t code = 0;  // the exit code; the system's error when not started

    bool Succeeded() const { return end == CommandEnd::Exited && code == 0; }
    bool operator==(const CommandOutcome&) const = default;
};

// What a command printed, beside how it ended.
struct CommandResult {
    std::wstring text;
    CommandOutcome outcome;
};

// "exit code 1", "could not be started (error 2)", "ended after the time
// limit", "was not waited for".
std::wstring DescribeOutcome(const CommandOutcome& outcome);

// Indented: the outcome, then the line of the output that says what went
// wrong (the first that begins with "Error", else the last non-blank one).
std::wstring FailureLine(const CommandOutcome& outcome, const std::wstring& output);

// The longest start of line that fits, ending in "..." when it was cut.
using LineFits = std::function<bool(const std::wstring& line)>;
std::wstring CutToFit(const std::wstring& line, const LineFits& fits);

}  // namespace app
