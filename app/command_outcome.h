// How a console command ended, and the line the status list shows under a
// step that did not succeed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

enum class CommandEnd { Exited, NotStarted, TimedOut };

struct CommandOutcome {
    CommandEnd end = CommandEnd::Exited;
    uint32_t code = 0;  // the exit code; the system's error when not started

    bool Succeeded() const { return end == CommandEnd::Exited && code == 0; }
    bool operator==(const CommandOutcome&) const = default;
};

// "exit code 1", "could not be started (error 2)", "ended after the time limit".
std::wstring DescribeOutcome(const CommandOutcome& outcome);

// Indented: the outcome, then the line of the output that says what went
// wrong (the first that begins with "Error", else the last non-blank one),
// cut to at most maxLength characters.
std::wstring FailureLine(const CommandOutcome& outcome, const std::wstring& output, size_t maxLength);

}  // namespace app
