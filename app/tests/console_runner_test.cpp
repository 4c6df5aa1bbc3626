#include "app/console_runner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/program_folder.h"
#include "common/system_library.h"

#include "app/tests/output_pattern.h"

namespace app {
namespace {

std::wstring ChildWriter() { return L"\"" + win32::ProgramFolder() + L"child_writer.exe\""; }

std::wstring RunChild(const std::wstring& arguments) { return RunConsoleCommand(ChildWriter() + L" " + arguments); }

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

TEST(ConsoleRunner, ChildrenThatWriteNothingToStandardOutputReturn) {
    EXPECT_EQ(RunChild(L"exit 3"), L"");
    EXPECT_EQ(RunChild(L"stderr 5000"), L"");  // standard error is not captured
}

TEST(ConsoleRunner, MissingProgramReportsCreateProcessError) {
    int pumps = 0;
    std::wstring result = RunConsoleCommand(L"no-such-program-mendlow.exe /x", [&] {
        ++pumps;
        return true;
    });
    EXPECT_EQ(result, L"Error: CreateProcess failed. 2");
    EXPECT_EQ(pumps, 2);  // messages are still processed twice
}

TEST(ConsoleRunner, RunsTheProgramGivenByPathInTheFolderGiven) {
    const std::wstring system = win32::SystemFolder();
    ConsoleProgram ipconfig = SystemProgramFor(L"ipconfig /release");
    EXPECT_EQ(ipconfig.path, system + L"ipconfig.exe");
    EXPECT_EQ(ipconfig.folder, system);
    // The path decides which program runs, not the command line's first word.
    ConsoleProgram writer{win32::ProgramFolder() + L"child_writer.exe", system};
    EXPECT_EQ(RunConsoleCommand(L"ipconfig cwd", {}, writer), system.substr(0, system.size() - 1));
}

TEST(ConsoleRunner, ProcessesMessagesWhileWaitingAndStopsWhenAsked) {
    int calls = 0;
    DWORD started = GetTickCount();
    std::wstring result = RunConsoleCommand(ChildWriter() + L" hold 8000", [&] { return ++calls < 5; });
    DWORD elapsed = GetTickCount() - started;
    EXPECT_EQ(result, L"");  // the output of an abandoned command is dropped
    EXPECT_GE(calls, 5);
    EXPECT_LT(elapsed, 6000u) << "the runner waited for the child instead of stopping";
}

TEST(ConsoleRunner, WaitsForAChildThatHoldsItsOutputOpen) {
    int calls = 0;
    EXPECT_EQ(RunConsoleCommand(ChildWriter() + L" hold 300", [&] { return ++calls > 0; }), L"held");
    EXPECT_GT(calls, 2);
}

}  // namespace
}  // namespace app
