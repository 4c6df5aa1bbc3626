// The network repair run behind "Start": four commands, each announced by a
// numbered status line, with both buttons disabled until the run is over.
#pragma once

#include <string>

namespace app {

// What the run drives; the main window in the program, a stand-in in tests.
class RepairWindow {
public:
    virtual ~RepairWindow() = default;
    virtual void SetCloseEnabled(bool enabled) = 0;
    virtual void SetStartEnabled(bool enabled) = 0;
    virtual void ClearStatus() = 0;
    virtual void AppendStatus(const std::wstring& line) = 0;
    virtual void ProcessPendingMessages() = 0;
    // Runs one console command to its end; the output is not shown.
    virtual std::wstring RunCommand(const std::wstring& commandLine) = 0;
    virtual void StopTimer() = 0;
    // True once the window has begun to close: the rest of the run is dropped.
    virtual bool IsClosing() const = 0;
};

struct RepairStep {
    const wchar_t* statusLine;
    const wchar_t* commandLine;
};

inline constexpr const wchar_t* kRepairStartLine = L"Repairing Network, Please Wait...";
inline constexpr const wchar_t* kRepairDoneLine = L"DONE!";
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

private:
    bool running_ = false;
};

}  // namespace app
