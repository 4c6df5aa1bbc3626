// A benchmark console reporter that also keeps each benchmark's real time,
// so that a program can print ratios between them after the runs.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TimingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    // The time of the named benchmark, or 0 when it did not run.
    double Time(const std::string& name) const {
        auto found = times_.find(name);
        return found == times_.end() ? 0.0 : found->second;
    }
    const std::map<std::string, double>& Times() const { return times_; }

private:
    std::map<std::string, double> times_;
};
