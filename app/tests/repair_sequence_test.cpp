#include "app/repair_sequence.h"

#include <gtest/gtest.h>

#include "app/tests/expected_status_lines.h"

#include <functional>
#include <vector>

namespace app {
namespace {

// Records what the sequence does; hooks let a test act in the middle of it.
class FakeWindow : public RepairWindow {
public:
    void SetCloseEnabled(bool enabled) override { log.push_back(enabled ? L"close on" : L"close off"); closeEnabled = enabled; }
    void SetStartEnabled(bool enabled) override { log.push_back(enabled ? L"start on" : L"start off"); startEnabled = enabled; }
    void ClearStatus() override { log.push_back(L"clear"); status.clear(); }
    void AppendStatus(const std::wstring& line) override { status.push_back(line); }
    void ProcessPendingMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    std::wstring RunCommand(const std::wstring& commandLine) override {
        commands.push_back(commandLine);
        if (onCommand) onCommand();
        return L"Error: CreateProcess failed. 2";
    }
    void StopTimer() override { ++timerStops; }
    bool IsClosing() const override { return closing; }

    std::vector<std::wstring> log, status, commands;
    bool closeEnabled = true, startEnabled = true, closing = false;
    int pumps = 0, timerStops = 0;
    std::function<void()> onPump, onCommand;
};

TEST(RepairSequence, RunsFourCommandsBetweenSixLinesAndEndsIdle) {
    FakeWindow window;
    window.status = {L"left over from the last run"};
    RepairSequence sequence;
    sequence.OnTimerTick(window);

    EXPECT_EQ(window.status, kExpectedStatusLines);
    EXPECT_EQ(window.commands, (std::vector<std::wstring>{L"ipconfig /release", L"ipconfig /flushdns",
                                                          L"ipconfig /registerdns", L"ipconfig /renew"}));
    EXPECT_EQ(window.log, (std::vector<std::wstring>{L"close off", L"start off", L"clear", L"start on", L"close on"}));
    EXPECT_EQ(window.timerStops, 1);
    EXPECT_FALSE(sequence.IsRunning());
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
        ++nested;
        sequence.OnTimerTick(window);  // the timer keeps firing while messages are processed
    };
    sequence.OnTimerTick(window);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(window.commands.size(), 4u);
    EXPECT_EQ(window.status, kExpectedStatusLines);

    window.onPump = nullptr;
    sequence.OnTimerTick(window);  // the next press runs everything again
    EXPECT_EQ(window.commands.size(), 8u);
    EXPECT_EQ(window.status, kExpectedStatusLines);
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
