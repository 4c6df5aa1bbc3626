// The network repair run behind "Start": four commands, each announced by a
// numbered status line and followed by a line saying what went wrong where
// one did not succeed, then a line saying whether the network works, with
// the window kept open and both buttons disabled until the run is over.
// The network is read before the first command and after the last.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/command_outcome.h"
#include "app/network_state.h"
#include "app/run_report.h"

namespace app {

// What the run drives; the main window in the program, a stand-in in tests.
class RepairWindow {
public:
    virtual ~RepairWindow() = default;
    // Off also keeps the window from being closed (its close box, Alt+F4).
    virtual void SetCloseEnabled(bool enabled) = 0;
    virtual void SetStartEnabled(bool enabled) = 0;
    virtual void ClearStatus() = 0;
    // whole: the line's whole text where line is it cut to the list's width.
    virtual void AppendStatus(const std::wstring& line, const std::wstring& whole) = 0;
    // Whether a line shows whole in the status list.
    virtual bool StatusLineFits(const std::wstring& line) const = 0;
    virtual void ProcessPendingMessages() = 0;
    // Runs one console command to its end (or its time limit).
    virtual CommandResult RunCommand(const std::wstring& commandLine) = 0;
    virtual void StopTimer() = 0;
    // While held, the system is told why log-off and shut-down must wait.
    virtual void HoldEndSession(bool hold) = 0;
    // Steps finished out of kRepairSteps, and whether one has failed.
    virtual void ShowProgress(size_t stepsDone, bool failed) = 0;
    virtual void ClearProgress() = 0;
    // True once the window is gone or going: the rest of the run is dropped.
    virtual bool IsClosing() const = 0;
    // The adapters and the system's connectivity verdict; a failed reading
    // says why, and never holds the run up.
    virtual NetworkReading ReadNetwork() = 0;
    virtual ConnectivityReading ReadConnectivity() = 0;
};

struct RepairStep {
    const wchar_t* statusLine;
    const wchar_t* commandLine;
};

inline constexpr const wchar_t* kRepairStartLine = L"Repairing Network, Please Wait...";
inline constexpr const wchar_t* kRepairDoneLine = L"DONE!";
inline constexpr const wchar_t* kEndSessionReason = L"Repairing the network connection";
inline constexpr RepairStep kRepairSteps[] = {
    {L"Step 01/04 - Releasing IP Information...", L"ipconfig /release"},
    {L"Step 02/04 - Purging DNS Cache...", L"ipconfig /flushdns"},
    {L"Step 03/04 - Refreshing DHCP & DNS...", L"ipconfig /registerdns"},
    {L"Step 04/04 - Renewing IP Information...", L"ipconfig /renew"},
};

class RepairSequence {
public:
    // One timer tick: runs the whole sequence, then stops the timer. A tick
    // that arrives while a run is in progress (messages are processed between
    // steps) is ignored, so one press of "Start" gives one run.
    void OnTimerTick(RepairWindow& window);
    bool IsRunning() const { return running_; }
    // A log-off or shut-down may go ahead only between runs.
    bool AllowsEndSession() const { return !running_; }

    // The steps of the last run (so far, during one).
    const std::vector<StepRecord>& Steps() const { return steps_; }
    // The step whose lines include the status list's line at index, or none.
    const StepRecord* StepAtLine(size_t index) const;
    // Whether the line at index is the network's summary.
    bool IsNetworkLine(size_t index) const { return networkLine_ && *networkLine_ == index; }
    // The network before and after, side by side (once the run has read it).
    std::wstring NetworkDetails() const;
    // Every step's details, then the network's.
    std::wstring Report() const;

private:
    // False when the window began closing and the rest was dropped.
    bool RunSteps(RepairWindow& window);
    bool Announce(RepairWindow& window, const std::wstring& line);
    // A line cut to the list's width, its whole text kept for the list's tip.
    bool AnnounceCut(RepairWindow& window, const std::wstring& whole);

    bool running_ = false;
    size_t lines_ = 0;
    std::vector<StepRecord> steps_;
    NetworkReading networkBefore_, networkAfter_;
    ConnectivityReading connectivity_;
    std::optional<size_t> networkLine_;
};

}  // namespace app
