#include "app/console_runner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "common/program_folder.h"
#include "common/system_library.h"

#include "app/tests/output_pattern.h"

namespace app {
namespace {

const ConsoleProgram kWriter{win32::ProgramFolder() + L"child_writer.exe", win32::ProgramFolder()};

CommandResult RunWriter(const std::wstring& arguments, const KeepWaiting& keepWaiting = {},
                  uint32_t timeLimitMs = kCommandTimeLimitMs) {
    return RunConsoleCommand(kWriter, L"child_writer " + arguments, keepWaiting, timeLimitMs);
}

// The process ids a "spawn" or "tree" child wrote.
std::pair<DWORD, DWORD> WrittenPids(const std::wstring& text) {
    unsigned long self = 0, grandchild = 0;
    std::swscanf(text.c_str(), L"pids %lu %lu", &self, &grandchild);
    return {self, grandchild};
}

bool ProcessEnds(DWORD id, DWORD milliseconds) {
    win32::Handle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    return !process || WaitForSingleObject(process.get(), milliseconds) == WAIT_OBJECT_0;
}

TEST(ConsoleRunner, ReturnsOutputByteForByteUpToTheLimit) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{100}, size_t{4097}, kConsoleOutputLimit}) {
        EXPECT_EQ(RunWriter(L"bytes " + std::to_wstring(size)).text, WideOutputPattern(size)) << size;
    }
}

TEST(ConsoleRunner, CutsOutputAfterTheLimit) {
    EXPECT_EQ(RunWriter(L"bytes 10241").text, WideOutputPattern(kConsoleOutputLimit));
    // Far more than a pipe buffer holds: the child must not wait for a reader.
    EXPECT_EQ(RunWriter(L"bytes 1048576").text, WideOutputPattern(kConsoleOutputLimit));
}

TEST(ConsoleRunner, ChildrenThatWriteNothingToStandardOutputReturnTheirExitCode) {
    CommandResult exited = RunWriter(L"exit 3");
    EXPECT_EQ(exited.text, L"");
    EXPECT_EQ(exited.outcome, (CommandOutcome{CommandEnd::Exited, 3}));
    EXPECT_EQ(RunWriter(L"stderr 5000").text, L"");  // standard error is not captured
    EXPECT_TRUE(RunWriter(L"bytes 10").outcome.Succeeded());
}

// Console programs write in the OEM code page: "é" is 0x82 there (437, 850)
// and a low quotation mark in the ANSI one (1252).
TEST(ConsoleRunner, DecodesWithTheOemCodePage) {
    const char bytes[] = "\x41\x82\x8E\x99\xE1\xFE";
    wchar_t expected[16] = {}, ansi[16] = {};
    MultiByteToWideChar(CP_OEMCP, 0, bytes, 6, expected, 16);
    MultiByteToWideChar(CP_ACP, 0, bytes, 6, ansi, 16);
    EXPECT_EQ(RunWriter(L"raw 41828E99E1FE").text, expected);
    if (GetOEMCP() != GetACP()) {
        EXPECT_NE(std::wstring(expected), ansi);
    }
}

// A character the limit cuts in two is dropped, not decoded as garbage.
TEST(ConsoleRunner, OutputCutAtTheLimitKeepsOnlyWholeCharacters) {
    struct Row {
        uint32_t codePage;
        std::vector<uint8_t> tail;  // the last bytes before the cut
        std::wstring decodedTail;
    };
    const Row rows[] = {
        {932, {0x82, 0xA0, 0x82}, L"\u3042"},         // Shift JIS: a lead byte without its trail
        {932, {0x82, 0x82, 0x82, 0xA0}, L"\uFF42\u3042"},  // trail bytes that look like leads
        {65001, {0xE3, 0x81, 0x82, 0xE3, 0x81}, L"\u3042"},  // UTF-8: two of three bytes
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes(kConsoleOutputLimit - row.tail.size(), 'A');
        bytes.insert(bytes.end(), row.tail.begin(), row.tail.end());
        std::wstring expected = std::wstring(kConsoleOutputLimit - row.tail.size(), L'A') + row.decodedTail;
        std::wstring decoded = DecodeConsoleOutput(bytes, true, row.codePage);
        EXPECT_EQ(decoded.size(), expected.size()) << row.codePage;
        EXPECT_EQ(decoded.substr(decoded.size() - 4), expected.substr(expected.size() - 4)) << row.codePage;
    }
}

TEST(ConsoleRunner, EndsAChildAtTheTimeLimitAndLeavesNoHandleOpen) {
    RunWriter(L"exit 0");  // the first run's one-time allocations
    DWORD before = 0, after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    DWORD started = GetTickCount();
    CommandResult result = RunWriter(L"hold 600000", {}, 300);
    DWORD elapsed = GetTickCount() - started;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(result.outcome.end, CommandEnd::TimedOut);
    EXPECT_EQ(result.text, L"held");  // what it wrote before the limit is kept
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(elapsed, 5000u);
    if (before == 0) GTEST_SKIP() << "the system reports no handle count (Wine answers 0)";
    EXPECT_EQ(after, before);
}

TEST(ConsoleRunner, AtTheTimeLimitEndsTheChildWithWhatItStartedAndReadsThePipeEmpty) {
    CommandResult result = RunWriter(L"tree 600000", {}, 300);
    EXPECT_EQ(result.outcome.end, CommandEnd::TimedOut);
    auto [child, grandchild] = WrittenPids(result.text);  // written before the limit, read after it
    ASSERT_NE(child, 0u) << "output: " << testing::PrintToString(result.text);
    ASSERT_NE(grandchild, 0u);
    EXPECT_TRUE(ProcessEnds(child, 2000));
    EXPECT_TRUE(ProcessEnds(grandchild, 2000));
}

TEST(ConsoleRunner, DoesNotWaitForAGrandchildThatHoldsTheOutputOpen) {
    DWORD started = GetTickCount();
    CommandResult result = RunWriter(L"spawn 20000");
    DWORD elapsed = GetTickCount() - started;
    EXPECT_EQ(result.outcome, (CommandOutcome{CommandEnd::Exited, 0}));
    EXPECT_LT(elapsed, 8000u);
    DWORD grandchild = WrittenPids(result.text).second;
    ASSERT_NE(grandchild, 0u);
    win32::Handle process(OpenProcess(PROCESS_TERMINATE, FALSE, grandchild));
    if (process) TerminateProcess(process.get(), 0);
}

TEST(ConsoleRunner, AChildThatNeverStopsWritingStillMeetsTheLimitWhileMessagesAreProcessed) {
    std::vector<DWORD> pumps;
    const DWORD started = GetTickCount();
    CommandResult result = RunWriter(L"flood", [&] {
        pumps.push_back(GetTickCount());
        return true;
    }, 500);
    const DWORD elapsed = GetTickCount() - started;
    EXPECT_EQ(result.outcome.end, CommandEnd::TimedOut);
    EXPECT_LT(elapsed, 2000u);
    std::wstring lines;
    while (lines.size() < kConsoleOutputLimit) lines += WideOutputPattern(64);
    EXPECT_EQ(result.text, lines.substr(0, kConsoleOutputLimit));
    ASSERT_FALSE(pumps.empty());
    DWORD longestGap = pumps.front() - started;
    for (size_t i = 1; i < pumps.size(); ++i) longestGap = std::max(longestGap, pumps[i] - pumps[i - 1]);
    EXPECT_LT(longestGap, 250u) << "messages were not processed while the output kept coming";
}

TEST(ConsoleRunner, AProgramNotStartedSaysWhyOnce) {
    int pumps = 0;
    auto count = [&] {
        ++pumps;
        return true;
    };
    ConsoleProgram missing{win32::ProgramFolder() + L"no-such-program-mendlow.exe", win32::ProgramFolder()};
    CommandResult result = RunConsoleCommand(missing, L"no-such-program-mendlow.exe /x", count);
    EXPECT_EQ(result.text, L"Error: CreateProcess failed. 2");
    EXPECT_EQ(result.outcome.end, CommandEnd::NotStarted);
    EXPECT_EQ(result.outcome.code, 2u);
    EXPECT_FALSE(result.outcome.reason.empty());  // the system's message
    EXPECT_EQ(pumps, 2);  // messages are still processed twice
    // A bare name is never looked for on PATH or in the current folder.
    for (const ConsoleProgram& bare : {ConsoleProgram{L"child_writer.exe", win32::ProgramFolder()},
                                       ConsoleProgram{kWriter.path, L""}, ConsoleProgram{}}) {
        EXPECT_EQ(RunConsoleCommand(bare, L"child_writer exit 0").outcome.end, CommandEnd::NotStarted) << bare.path;
    }
}

TEST(ConsoleRunner, RunsTheProgramGivenByPathInTheFolderGiven) {
    const std::wstring system = win32::SystemFolder();
    ConsoleProgram ipconfig = SystemProgramFor(L"ipconfig /release");
    EXPECT_EQ(ipconfig.path, system + L"ipconfig.exe");
    EXPECT_EQ(ipconfig.folder, system);
    // The path decides which program runs, not the command line's first word.
    ConsoleProgram writer{kWriter.path, system};
    EXPECT_EQ(RunConsoleCommand(writer, L"ipconfig cwd").text, system.substr(0, system.size() - 1));
}

TEST(ConsoleRunner, ProcessesMessagesWhileWaitingAndStopsWhenAsked) {
    int calls = 0;
    DWORD started = GetTickCount();
    CommandResult result = RunWriter(L"hold 8000", [&] { return ++calls < 5; });
    DWORD elapsed = GetTickCount() - started;
    EXPECT_EQ(result.text, L"");  // the output of an abandoned command is dropped
    EXPECT_EQ(result.outcome.end, CommandEnd::Abandoned);
    EXPECT_GE(calls, 5);
    EXPECT_LT(elapsed, 6000u) << "the runner waited for the child instead of stopping";
}

TEST(ConsoleRunner, WaitsForAChildThatRunsAWhile) {
    int calls = 0;
    CommandResult result = RunWriter(L"hold 300", [&] { return ++calls > 0; });
    EXPECT_EQ(result.text, L"held");
    EXPECT_EQ(result.outcome, (CommandOutcome{CommandEnd::Exited, 0}));
    EXPECT_GT(calls, 2);
}

}  // namespace
}  // namespace app
