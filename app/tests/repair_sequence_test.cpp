#include "app/repair_sequence.h"

#include <gtest/gtest.h>

#include "app/tests/expected_status_lines.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace app {
namespace {

// Records what the sequence does; hooks let a test act in the middle of it.
// Commands succeed unless results are queued for them.
class FakeWindow : public RepairWindow {
public:
    void SetCloseEnabled(bool enabled) override { log.push_back(enabled ? L"close on" : L"close off"); closeEnabled = enabled; }
    void SetStartEnabled(bool enabled) override { log.push_back(enabled ? L"start on" : L"start off"); startEnabled = enabled; }
    void ClearStatus() override { log.push_back(L"clear"); status.clear(); }
    void AppendStatus(const std::wstring& line, const std::wstring& whole) override {
        status.push_back(line);
        wholeLines.push_back(whole);
    }
    bool StatusLineFits(const std::wstring& line) const override { return line.size() <= statusWidth; }
    void ProcessPendingMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    CommandResult RunCommand(const std::wstring& commandLine) override {
        commands.push_back(commandLine);
        if (onCommand) onCommand();
        if (results.empty()) return {L"ok", {}};
        CommandResult result = results.front();
        results.erase(results.begin());
        return result;
    }
    void StopTimer() override {
        ++timerStops;
        timerOn = false;
    }
    void HoldEndSession(bool hold) override { log.push_back(hold ? L"hold" : L"release"); }
    void ShowProgress(size_t done, bool failed) override {
        progress.push_back(std::to_wstring(done) + (failed ? L"!" : L""));
    }
    void ClearProgress() override { progress.push_back(L"clear"); }
    bool IsClosing() const override { return closing; }
    NetworkReading ReadNetwork() override {
        networkReadAt.push_back(status.size());
        return network;
    }
    ConnectivityReading ReadConnectivity() override { return connectivity; }

    std::vector<std::wstring> log, status, wholeLines, commands, progress;
    std::vector<size_t> networkReadAt;  // how many lines there were at each reading
    NetworkReading network{true, {}, {}};
    ConnectivityReading connectivity{true, {}, Connectivity::None};
    std::vector<CommandResult> results;
    size_t statusWidth = 200;
    bool closeEnabled = true, startEnabled = true, closing = false, timerOn = true;
    int pumps = 0, timerStops = 0;
    std::function<void()> onPump, onCommand;
};

const std::wstring kNoAdapter = L"No network adapter is connected";

const CommandResult kWineRefusal{L"Error: Unknown or invalid command line parameters specified\r\n",
                                 {CommandEnd::Exited, 1}};

TEST(RepairSequence, RunsFourCommandsBetweenSixLinesAndEndsIdle) {
    FakeWindow window;
    window.status = {L"left over from the last run"};
    RepairSequence sequence;
    sequence.OnTimerTick(window);

    EXPECT_EQ(window.status, ExpectedStatusLines(kNoAdapter));
    EXPECT_EQ(window.commands, (std::vector<std::wstring>{L"ipconfig /release", L"ipconfig /flushdns",
                                                          L"ipconfig /registerdns", L"ipconfig /renew"}));
    EXPECT_EQ(window.log, (std::vector<std::wstring>{L"hold", L"close off", L"start off", L"clear", L"release",
                                                      L"start on", L"close on"}));
    EXPECT_EQ(window.progress, (std::vector<std::wstring>{L"0", L"1", L"2", L"3", L"4", L"clear"}));
    EXPECT_EQ(window.timerStops, 1);
    EXPECT_FALSE(sequence.IsRunning());
    EXPECT_EQ(window.networkReadAt, (std::vector<size_t>{1, 5})) << "before Step 01 and after Step 04";
    EXPECT_TRUE(sequence.IsNetworkLine(5));
    EXPECT_EQ(sequence.Report(), RunReport(sequence.Steps()) + L"\r\n" + sequence.NetworkDetails());
    EXPECT_TRUE(sequence.NetworkDetails().starts_with(kNoAdapter + L"\r\n\r\nNetwork"));
}

TEST(RepairSequence, AFailedStepIsFollowedByWhatWentWrongAndKeepsItsOutput) {
    FakeWindow window;
    window.statusWidth = 40;
    window.results = {kWineRefusal, {L"Flushed\nthe cache", {}},
                      {L"Error: CreateProcess failed. 2",
                       {CommandEnd::NotStarted, 2, L"The system cannot find the file specified."}},
                      {L"", {CommandEnd::TimedOut, 0}}};
    window.network = {false, L"the system offers no adapter list", {}};
    RepairSequence sequence;
    sequence.OnTimerTick(window);

    EXPECT_EQ(window.status, (std::vector<std::wstring>{
                                 L"Repairing Network, Please Wait...",
                                 L"Step 01/04 - Releasing IP Information...",
                                 L"    exit code 1: Error: Unknown or...",
                                 L"Step 02/04 - Purging DNS Cache...",
                                 L"Step 03/04 - Refreshing DHCP & DNS...",
                                 L"    could not be started: The system...",
                                 L"Step 04/04 - Renewing IP Information...",
                                 L"    ended after the time limit",
                                 L"The network could not be read after...",
                                 L"DONE!",
                             }));
    EXPECT_EQ(window.progress, (std::vector<std::wstring>{L"0", L"1!", L"2!", L"3!", L"4!", L"clear"}));
    EXPECT_EQ(window.wholeLines[2], L"    exit code 1: Error: Unknown or invalid command line parameters specified");
    EXPECT_EQ(window.wholeLines[8], L"The network could not be read after the repair: the system offers no adapter list");
    EXPECT_EQ(window.wholeLines[1], window.status[1]) << "a whole line is its own whole text";
    ASSERT_EQ(sequence.Steps().size(), 4u);
    // The details hold the whole text, not the cut line, with Windows line ends.
    EXPECT_EQ(StepDetails(sequence.Steps()[0]),
              L"Step 01/04 - Releasing IP Information...\r\nCommand: ipconfig /release\r\nResult: exit code 1\r\n"
              L"Output:\r\nError: Unknown or invalid command line parameters specified\r\n");
    EXPECT_EQ(RunReport(sequence.Steps()),
              StepDetails(sequence.Steps()[0]) + L"\r\n" +
                  L"Step 02/04 - Purging DNS Cache...\r\nCommand: ipconfig /flushdns\r\n"
                  L"Result: succeeded (exit code 0)\r\nOutput:\r\nFlushed\r\nthe cache\r\n\r\n" +
                  StepDetails(sequence.Steps()[2]) + L"\r\n" + StepDetails(sequence.Steps()[3]));
    EXPECT_NE(StepDetails(sequence.Steps()[3]).find(L"Output:\r\n(none)"), std::wstring::npos);
    // Each line leads to its step; the first and last lines to none.
    const size_t stepOfLine[] = {9, 0, 0, 1, 2, 2, 3, 3, 9};
    for (size_t line = 0; line < std::size(stepOfLine); ++line) {
        const StepRecord* step = sequence.StepAtLine(line);
        EXPECT_EQ(step ? static_cast<size_t>(step - sequence.Steps().data()) : 9, stepOfLine[line]) << line;
    }
}

TEST(RepairSequence, EndSessionWaitsForTheRunAndIsHeldMeanwhile) {
    FakeWindow window;
    RepairSequence sequence;
    std::vector<bool> allowedDuringCommands;
    window.onCommand = [&] { allowedDuringCommands.push_back(sequence.AllowsEndSession()); };
    EXPECT_TRUE(sequence.AllowsEndSession());
    sequence.OnTimerTick(window);
    EXPECT_EQ(allowedDuringCommands, std::vector<bool>(4, false));
    EXPECT_TRUE(sequence.AllowsEndSession());
    EXPECT_EQ(window.log.front(), L"hold");
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), L"release"), 1);
}

// The last messages run with the buttons back: the run must be over by then.
TEST(RepairSequence, AStartPressDuringTheLastMessagesGivesASecondRun) {
    FakeWindow window;
    RepairSequence sequence;
    window.onPump = [&] {
        if (!window.startEnabled || window.timerOn) return;
        EXPECT_FALSE(sequence.IsRunning());
        EXPECT_TRUE(sequence.AllowsEndSession());
        window.timerOn = true;  // "Start" arms the timer
    };
    sequence.OnTimerTick(window);
    ASSERT_TRUE(window.timerOn) << "the press was lost";
    window.onPump = nullptr;
    sequence.OnTimerTick(window);
    EXPECT_EQ(window.commands.size(), 8u);
    EXPECT_FALSE(window.timerOn);
}

TEST(RepairSequence, AnnouncesEachStepBeforeItsCommand) {
    FakeWindow window;
    std::vector<size_t> linesAtCommand;
    window.onCommand = [&] { linesAtCommand.push_back(window.status.size()); };
    RepairSequence sequence;
    sequence.OnTimerTick(window);
    EXPECT_EQ(linesAtCommand, (std::vector<size_t>{2, 3, 4, 5}));
}

TEST(RepairSequence, TicksDuringARunDoNothing) {
    FakeWindow window;
    RepairSequence sequence;
    int nested = 0;
    window.onPump = [&] {
        if (!window.timerOn) return;
        ++nested;
        sequence.OnTimerTick(window);  // the timer keeps firing while messages are processed
    };
    sequence.OnTimerTick(window);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(window.commands.size(), 4u);
    EXPECT_EQ(window.status, ExpectedStatusLines(kNoAdapter));

    window.onPump = nullptr;
    window.timerOn = true;
    sequence.OnTimerTick(window);  // the next press runs everything again
    EXPECT_EQ(window.commands.size(), 8u);
    EXPECT_EQ(window.status, ExpectedStatusLines(kNoAdapter));
}

TEST(RepairSequence, ClosingMidRunStopsTheRest) {
    FakeWindow window;
    window.onCommand = [&] {
        if (window.commands.size() == 2) window.closing = true;
    };
    RepairSequence sequence;
    sequence.OnTimerTick(window);
    EXPECT_EQ(window.commands.size(), 2u);
    EXPECT_EQ(window.status.size(), 3u);
    EXPECT_FALSE(window.startEnabled);  // nothing touches the buttons of a closed window
    EXPECT_EQ(window.log.back(), L"release");
    EXPECT_FALSE(sequence.IsRunning());
}

TEST(RepairSequence, ClosingWhileMessagesAreProcessedStopsTheRest) {
    FakeWindow window;
    window.onPump = [&] { window.closing = true; };
    RepairSequence sequence;
    sequence.OnTimerTick(window);
    EXPECT_TRUE(window.commands.empty());
    EXPECT_EQ(window.status.size(), 1u);
}

TEST(RepairSequence, ATickAfterClosingStartsNothing) {
    FakeWindow window;
    window.closing = true;
    RepairSequence sequence;
    sequence.OnTimerTick(window);
    EXPECT_TRUE(window.log.empty());
    EXPECT_TRUE(window.commands.empty());
}

}  // namespace
}  // namespace app
