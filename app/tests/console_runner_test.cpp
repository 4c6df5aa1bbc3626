#include "app/console_runner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/program_folder.h"
#include "common/system_library.h"

#include "app/tests/output_pattern.h"

namespace app {
namespace {

std::wstring ChildWriter() { return L"\"" + win32::ProgramFolder() + L"child_writer.exe\""; }

std::wstring RunChild(const std::wstring& arguments) {
    return RunConsoleCommand(ChildWriter() + L" " + arguments).text;
}

TEST(ConsoleRunner, ReturnsOutputByteForByteUpToTheLimit) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{100}, size_t{4097}, kConsoleOutputLimit}) {
        EXPECT_EQ(RunChild(L"bytes " + std::to_wstring(size)), WideOutputPattern(size)) << size;
    }
}

TEST(ConsoleRunner, CutsOutputAfterTheLimit) {
    EXPECT_EQ(RunChild(L"bytes 10241"), WideOutputPattern(kConsoleOutputLimit));
    // Far more than a pipe buffer holds: the child must not wait for a reader.
    EXPECT_EQ(RunChild(L"bytes 1048576"), WideOutputPattern(kConsoleOutputLimit));
}

TEST(ConsoleRunner, ChildrenThatWriteNothingToStandardOutputReturnTheirExitCode) {
    CommandResult exited = RunConsoleCommand(ChildWriter() + L" exit 3");
    EXPECT_EQ(exited.text, L"");
    EXPECT_EQ(exited.outcome, (CommandOutcome{CommandEnd::Exited, 3}));
    EXPECT_EQ(RunChild(L"stderr 5000"), L"");  // standard error is not captured
    EXPECT_TRUE(RunConsoleCommand(ChildWriter() + L" bytes 10").outcome.Succeeded());
}

// Console programs write in the OEM code page: "é" is 0x82 there (437, 850)
// and a low quotation mark in the ANSI one (1252).
TEST(ConsoleRunner, DecodesWithTheOemCodePage) {
    const char bytes[] = "\x41\x82\x8E\x99\xE1\xFE";
    wchar_t expected[16] = {}, ansi[16] = {};
    MultiByteToWideChar(CP_OEMCP, 0, bytes, 6, expected, 16);
    MultiByteToWideChar(CP_ACP, 0, bytes, 6, ansi, 16);
    EXPECT_EQ(RunChild(L"raw 41828E99E1FE"), expected);
    if (GetOEMCP() != GetACP()) {
        EXPECT_NE(std::wstring(expected), ansi);
    }
}

TEST(ConsoleRunner, EndsAChildAtTheTimeLimitAndLeavesNoHandleOpen) {
    RunConsoleCommand(ChildWriter() + L" exit 0");  // the first run's one-time allocations
    DWORD before = 0, after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    DWORD started = GetTickCount();
    CommandResult result = RunConsoleCommand(ChildWriter() + L" hold 600000", {}, {}, 300);
    DWORD elapsed = GetTickCount() - started;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(result.outcome.end, CommandEnd::TimedOut);
    EXPECT_EQ(result.text, L"held");  // what it wrote before the limit is kept
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ(after, before);
}

TEST(ConsoleRunner, MissingProgramReportsCreateProcessError) {
    int pumps = 0;
    CommandResult result = RunConsoleCommand(L"no-such-program-mendlow.exe /x", [&] {
        ++pumps;
        return true;
    });
    EXPECT_EQ(result.text, L"Error: CreateProcess failed. 2");
    EXPECT_EQ(result.outcome, (CommandOutcome{CommandEnd::NotStarted, 2}));
    EXPECT_EQ(pumps, 2);  // messages are still processed twice
}

TEST(ConsoleRunner, RunsTheProgramGivenByPathInTheFolderGiven) {
    const std::wstring system = win32::SystemFolder();
    ConsoleProgram ipconfig = SystemProgramFor(L"ipconfig /release");
    EXPECT_EQ(ipconfig.path, system + L"ipconfig.exe");
    EXPECT_EQ(ipconfig.folder, system);
    // The path decides which program runs, not the command line's first word.
    ConsoleProgram writer{win32::ProgramFolder() + L"child_writer.exe", system};
    EXPECT_EQ(RunConsoleCommand(L"ipconfig cwd", {}, writer).text, system.substr(0, system.size() - 1));
}

TEST(ConsoleRunner, ProcessesMessagesWhileWaitingAndStopsWhenAsked) {
    int calls = 0;
    DWORD started = GetTickCount();
    CommandResult result = RunConsoleCommand(ChildWriter() + L" hold 8000", [&] { return ++calls < 5; });
    DWORD elapsed = GetTickCount() - started;
    EXPECT_EQ(result.text, L"");  // the output of an abandoned command is dropped
    EXPECT_EQ(result.outcome.end, CommandEnd::Abandoned);
    EXPECT_GE(calls, 5);
    EXPECT_LT(elapsed, 6000u) << "the runner waited for the child instead of stopping";
}

TEST(ConsoleRunner, WaitsForAChildThatHoldsItsOutputOpen) {
    int calls = 0;
    EXPECT_EQ(RunConsoleCommand(ChildWriter() + L" hold 300", [&] { return ++calls > 0; }).text, L"held");
    EXPECT_GT(calls, 2);
}

}  // namespace
}  // namespace app
