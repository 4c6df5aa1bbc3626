#include "app/repair_sequence.h"

namespace app {
namespace {

// Returns false when the window began closing during the step's messages.
bool Announce(RepairWindow& window, const wchar_t* line) {
    window.AppendStatus(line);
    return !window.IsClosing();
}

bool Settle(RepairWindow& window) {
    window.ProcessPendingMessages();
    return !window.IsClosing();
}

void RunSteps(RepairWindow& window) {
    window.SetCloseEnabled(false);
    window.SetStartEnabled(false);
    window.ClearStatus();
    if (!Announce(window, kRepairStartLine) || !Settle(window)) return;
    for (const RepairStep& step : kRepairSteps) {
        if (!Announce(window, step.statusLine)) return;
        window.RunCommand(step.commandLine);  // its output is not shown
        if (window.IsClosing() || !Settle(window)) return;
    }
    if (!Announce(window, kRepairDoneLine) || !Settle(window)) return;
    window.SetStartEnabled(true);
    window.SetCloseEnabled(true);
    Settle(window);
}

}  // namespace

void RepairSequence::OnTimerTick(RepairWindow& window) {
    if (running_ || window.IsClosing()) return;
    running_ = true;
    RunSteps(window);
    running_ = false;
    window.StopTimer();
}

}  // namespace app
