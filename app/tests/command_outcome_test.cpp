#include "app/command_outcome.h"

#include <gtest/gtest.h>

namespace app {
namespace {

const CommandOutcome kExit1{CommandEnd::Exited, 1};

TEST(CommandOutcome, OnlyAZeroExitSucceeds) {
    EXPECT_TRUE((CommandOutcome{CommandEnd::Exited, 0}).Succeeded());
    EXPECT_FALSE(kExit1.Succeeded());
    EXPECT_FALSE((CommandOutcome{CommandEnd::NotStarted, 0}).Succeeded());
    EXPECT_FALSE((CommandOutcome{CommandEnd::TimedOut, 0}).Succeeded());
    EXPECT_FALSE((CommandOutcome{CommandEnd::Abandoned, 0}).Succeeded());
}

TEST(CommandOutcome, FailureLineNamesTheOutcomeAndTheTellingLine) {
    struct Row {
        CommandOutcome outcome;
        std::wstring output, line;
    };
    const Row rows[] = {
        // Wine's ipconfig: its one line begins with "Error".
        {kExit1, L"Error: Unknown or invalid command line parameters specified\r\n",
         L"    exit code 1: Error: Unknown or invalid command line parameters specified"},
        // Windows puts its message last, after blank lines and the header.
        {kExit1,
         L"\r\nWindows IP Configuration\r\n\r\n"
         L"The operation failed as no adapter is in the state permissible for this operation.\r\n\r\n",
         L"    exit code 1: The operation failed as no adapter is in the state permissible for this operation."},
        {kExit1, L"first\r\n  Error 5: access  \r\nError later\r\n", L"    exit code 1: Error 5: access"},
        {{CommandEnd::Exited, 0xFFFFFFFFu}, L"", L"    exit code -1"},
        // Not started or not read: the system's message once, not the runner's text.
        {{CommandEnd::NotStarted, 2, L"The system cannot find the file specified."},
         L"Error: CreateProcess failed. 2", L"    could not be started: The system cannot find the file specified."},
        {{CommandEnd::NotStarted, 2}, L"Error: CreateProcess failed. 2", L"    could not be started (error 2)"},
        {{CommandEnd::ReadFailed, 232, L"The pipe is being closed."}, L"Error: ReadFile failed. 232",
         L"    its output could not be read: The pipe is being closed."},
        {{CommandEnd::TimedOut, 0}, L"Renewing...\n", L"    ended after the time limit: Renewing..."},
        {{CommandEnd::Abandoned, 0}, L"", L"    was not waited for"},
    };
    for (const Row& row : rows) EXPECT_EQ(FailureLine(row.outcome, row.output), row.line) << row.output;
}

TEST(CommandOutcome, CutToFitKeepsTheLongestStartThatFitsCutAfterAWord) {
    auto atMost = [](size_t n) { return [n](const std::wstring& line) { return line.size() <= n; }; };
    const std::wstring line = L"    exit code 1: Error: far too long";
    EXPECT_EQ(CutToFit(line, atMost(20)), L"    exit code 1:...");
    EXPECT_EQ(CutToFit(line, atMost(30)), L"    exit code 1: Error: far...");  // cut at a space
    EXPECT_EQ(CutToFit(line, atMost(line.size())), line);  // exactly fits
    EXPECT_EQ(CutToFit(L"    Unbreakable", atMost(10)), L"    Unb...");  // one word: cut inside it
    EXPECT_EQ(CutToFit(line, atMost(2)), L"...");           // nothing fits: the mark alone
}

}  // namespace
}  // namespace app
