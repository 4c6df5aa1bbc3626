#include "app/repair_sequence.h"

#include <iterator>

namespace app {
namespace {

bool Settle(RepairWindow& window) {
    window.ProcessPendingMessages();
    return !window.IsClosing();
}

}  // namespace

// Returns false when the window began closing during the line's messages.
bool RepairSequence::Announce(RepairWindow& window, const std::wstring& line) {
    window.AppendStatus(line, line);
    ++lines_;
    return !window.IsClosing();
}

bool RepairSequence::RunSteps(RepairWindow& window) {
    window.SetCloseEnabled(false);
    window.SetStartEnabled(false);
    window.ClearStatus();
    lines_ = 0;
    steps_.clear();
    networkLine_.reset();
    window.ShowProgress(0, false);
    if (!Announce(window, kRepairStartLine) || !Settle(window)) return false;
    networkBefore_ = window.ReadNetwork();
    bool failed = false;
    for (const RepairStep& step : kRepairSteps) {
        StepRecord record{step.statusLine, step.commandLine, {}, lines_, 1};
        if (!Announce(window, step.statusLine)) return false;
        record.result = window.RunCommand(step.commandLine);
        if (window.IsClosing()) return false;
        if (!record.result.outcome.Succeeded()) {
            failed = true;
            AnnounceCut(window, FailureLine(record.result.outcome, record.result.text));
            record.lineCount = 2;
        }
        steps_.push_back(std::move(record));
        window.ShowProgress(steps_.size(), failed);
        if (!Settle(window)) return false;
    }
    networkAfter_ = window.ReadNetwork();
    connectivity_ = window.ReadConnectivity();
    const std::wstring summary = NetworkSummaryLine(networkAfter_, connectivity_);
    networkLine_ = lines_;
    if (!AnnounceCut(window, summary)) return false;
    return Announce(window, kRepairDoneLine) && Settle(window);
}

std::wstring RepairSequence::NetworkDetails() const {
    if (!networkLine_) return {};
    return NetworkSummaryLine(networkAfter_, connectivity_) + L"\r\n\r\n" +
           NetworkReport(networkBefore_, networkAfter_, connectivity_);
}

std::wstring RepairSequence::Report() const {
    std::wstring report = RunReport(steps_);
    if (networkLine_) report += L"\r\n" + NetworkDetails();
    return report;
}

bool RepairSequence::AnnounceCut(RepairWindow& window, const std::wstring& whole) {
    window.AppendStatus(CutToFit(whole, [&](const std::wstring& l) { return window.StatusLineFits(l); }), whole);
    ++lines_;
    return !window.IsClosing();
}

const StepRecord* RepairSequence::StepAtLine(size_t index) const {
    for (const StepRecord& step : steps_)
        if (index >= step.firstLine && index < step.firstLine + step.lineCount) return &step;
    return nullptr;
}

void RepairSequence::OnTimerTick(RepairWindow& window) {
    if (running_ || window.IsClosing()) return;
    running_ = true;
    window.HoldEndSession(true);
    const bool finished = RunSteps(window);
    // Over before the buttons come back and messages run: a Start pressed
    // then arms the timer anew, and closing is allowed.
    running_ = false;
    window.StopTimer();
    window.ClearProgress();
    window.HoldEndSession(false);
    if (!finished) return;
    window.SetStartEnabled(true);
    window.SetCloseEnabled(true);
    Settle(window);
}

}  // namespace app
