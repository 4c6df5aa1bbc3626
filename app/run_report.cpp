#include "app/run_report.h"

namespace app {
namespace {

// Lone "\n" or "\r" become "\r\n"; an edit control shows nothing else as a break.
std::wstring WithWindowsLineEnds(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            out += L"\r\n";
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::wstring StepDetails(const StepRecord& step) {
    std::wstring text = step.statusLine + L"\r\n";
    text += L"Command: " + step.commandLine + L"\r\n";
    text += L"Result: " + (step.result.outcome.Succeeded() ? std::wstring(L"succeeded (exit code 0)")
                                                           : DescribeOutcome(step.result.outcome)) + L"\r\n";
    text += L"Output:\r\n";
    text += step.result.text.empty() ? L"(none)\r\n" : WithWindowsLineEnds(step.result.text);
    if (!text.ends_with(L"\r\n")) text += L"\r\n";
    return text;
}

std::wstring RunReport(const std::vector<StepRecord>& steps) {
    std::wstring report;
    for (const StepRecord& step : steps) {
        if (!report.empty()) report += L"\r\n";
        report += StepDetails(step);
    }
    return report;
}

}  // namespace app
