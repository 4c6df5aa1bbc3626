// How a console command ended, and the line the status list shows under a
// step that did not succeed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace app {

// ReadFailed: its output could not be read. Abandoned: the caller stopped
// waiting before the command ended.
enum class CommandEnd { Exited, NotStarted, ReadFailed, TimedOut, Abandoned };

struct CommandOutcome {
    CommandOutcome() = default;
    CommandOutcome(CommandEnd end, uint32_t code = 0, std::wstring reason = {})
        : end(end), code(code), reason(std::move(reason)) {}

    CommandEnd end = CommandEnd::Exited;
    uint32_t code = 0;    // the exit code; the system's error when not started or not read
    std::wstring reason;  // the system's message for that error, where it has one

    bool Succeeded() const { return end == CommandEnd::Exited && code == 0; }
    bool operator==(const CommandOutcome&) const = default;
};

// What a command printed, beside how it ended.
struct CommandResult {
    std::wstring text;
    CommandOutcome outcome;
};

// "exit code 1", "could not be started: " and the system's message (or
// "(error 2)" without one), "its output could not be read: ...", "ended
// after the time limit", "was not waited for".
std::wstring DescribeOutcome(const CommandOutcome& outcome);

// Indented: the outcome, then the line of the output that says what went
// wrong (the first that begins with "Error", else the last non-blank one);
// a command that did not start or could not be read has no output of its own.
std::wstring FailureLine(const CommandOutcome& outcome, const std::wstring& output);

// The longest start of line that fits, ending in "..." when it was cut, cut
// after a whole word where the line has a space to cut at.
using LineFits = std::function<bool(const std::wstring& line)>;
std::wstring CutToFit(const std::wstring& line, const LineFits& fits);

}  // namespace app
