// The six lines a finished repair run leaves in the list, spelled out here
// rather than taken from the code under test, and the network's summary
// that comes before "DONE!".
#pragma once

#include <gtest/gtest.h>

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

inline std::vector<std::wstring> ExpectedStatusLines(const std::wstring& networkSummary) {
    std::vector<std::wstring> lines = kExpectedStatusLines;
    lines.insert(lines.end() - 1, networkSummary);
    return lines;
}

// Wine's ipconfig refuses every switch the repair uses with exit code 1, so
// there each step's line is followed by this, cut to the list's width.
inline const std::wstring kWineFailureLine =
    L"    exit code 1: Error: Unknown or invalid command line parameters specified";
inline constexpr size_t kWineRunLineCount = 11;

// Whether lines are a finished run under Wine: the six lines, each step's
// followed by the failure line (whole, or cut and ending in "..."), and a
// network summary (any, or the one given).
inline ::testing::AssertionResult IsWineRun(const std::vector<std::wstring>& lines,
                                            const std::wstring& networkSummary = {}) {
    std::vector<std::wstring> statusLines;
    for (size_t i = 0; i < lines.size(); ++i) {
        bool failureLine = i >= 2 && i % 2 == 0 && i + 1 < lines.size();
        if (!failureLine) {
            statusLines.push_back(lines[i]);
            continue;
        }
        const std::wstring& line = lines[i];
        bool cut = line.size() > 3 && line.ends_with(L"...");
        std::wstring shown = cut ? line.substr(0, line.size() - 3) : line;
        if (shown.size() < 22 || !kWineFailureLine.starts_with(shown) || (!cut && shown != kWineFailureLine))
            return ::testing::AssertionFailure() << "line " << i << " is not the failure line";
    }
    if (lines.size() != kWineRunLineCount || statusLines.size() != kExpectedStatusLines.size() + 1)
        return ::testing::AssertionFailure() << lines.size() << " lines, not the seven with four failure lines";
    const std::wstring& summary = statusLines[statusLines.size() - 2];
    // The list cuts a long summary after a whole word and adds "...".
    const bool cutFromGiven = summary.ends_with(L"...") && networkSummary.starts_with(summary.substr(0, summary.size() - 3));
    const bool asGiven = networkSummary.empty() || summary == networkSummary || cutFromGiven;
    if (statusLines != ExpectedStatusLines(summary) || summary.empty() || !asGiven)
        return ::testing::AssertionFailure() << "not the run's lines; the summary reads \""
                                             << std::string(summary.begin(), summary.end()) << "\"";
    return ::testing::AssertionSuccess();
}
