#include "app/command_outcome.h"

#include <cwctype>

namespace app {
namespace {

constexpr wchar_t kIndent[] = L"    ";

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// ipconfig names a failure on a line that begins with "Error" where it can;
// otherwise its message is its last words.
std::wstring TellingLine(const std::wstring& output) {
    std::wstring lastNonBlank;
    size_t start = 0;
    while (start <= output.size()) {
        size_t end = output.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = output.size();
        std::wstring line = Trimmed(output.substr(start, end - start));
        if (line.rfind(L"Error", 0) == 0) return line;
        if (!line.empty()) lastNonBlank = line;
        start = end + 1;
    }
    return lastNonBlank;
}

std::wstring Reason(const CommandOutcome& outcome) {
    if (!outcome.reason.empty()) return L": " + outcome.reason;
    return L" (error " + std::to_wstring(outcome.code) + L")";
}

}  // namespace

std::wstring DescribeOutcome(const CommandOutcome& outcome) {
    switch (outcome.end) {
        case CommandEnd::NotStarted: return L"could not be started" + Reason(outcome);
        case CommandEnd::ReadFailed: return L"its output could not be read" + Reason(outcome);
        case CommandEnd::TimedOut: return L"ended after the time limit";
        case CommandEnd::Abandoned: return L"was not waited for";
        case CommandEnd::Exited: break;
    }
    return L"exit code " + std::to_wstring(static_cast<int32_t>(outcome.code));
}

std::wstring FailureLine(const CommandOutcome& outcome, const std::wstring& output) {
    std::wstring line = kIndent + DescribeOutcome(outcome);
    // The runner's own error text would only repeat the reason.
    if (outcome.end == CommandEnd::NotStarted || outcome.end == CommandEnd::ReadFailed) return line;
    std::wstring telling = TellingLine(output);
    if (!telling.empty()) line += L": " + telling;
    return line;
}

std::wstring CutToFit(const std::wstring& line, const LineFits& fits) {
    if (fits(line)) return line;
    // The longest kept prefix whose cut form fits: fitting shrinks with length.
    size_t low = 0, high = line.size();
    while (low < high) {
        size_t middle = (low + high + 1) / 2;
        if (fits(line.substr(0, middle) + L"...")) low = middle;
        else high = middle - 1;
    }
    // Back to the last space after the indent, so no word is cut in two.
    size_t indent = line.find_first_not_of(L' ');
    size_t space = low < line.size() && line[low] != L' ' ? line.rfind(L' ', low) : low;
    if (space != std::wstring::npos && indent != std::wstring::npos && space > indent) low = space;
    while (low > 0 && line[low - 1] == L' ') --low;
    return line.substr(0, low) + L"...";
}

}  // namespace app
