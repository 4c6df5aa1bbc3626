// What a repair run keeps of each step, and the texts made from it: one
// step's details and the report of the whole run.
#pragma once

#include <string>
#include <vector>

#include "app/command_outcome.h"

namespace app {

struct StepRecord {
    std::wstring statusLine;
    std::wstring commandLine;
    CommandResult result;
    // The step's lines in the status list: its status line, and its failure
    // line where it has one.
    size_t firstLine = 0;
    size_t lineCount = 1;
};

// The status line, the command line, how it ended, and everything it
// printed, with Windows line ends (for an edit control and the clipboard).
std::wstring StepDetails(const StepRecord& step);

// Every step's details, one after the other.
std::wstring RunReport(const std::vector<StepRecord>& steps);

}  // namespace app
