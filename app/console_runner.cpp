#include "app/console_runner.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <vector>

#include "app/ansi_text.h"
#include "common/system_library.h"
#include "common/system_message.h"
#include "common/win32_handles.h"

namespace app {
namespace {

constexpr DWORD kWaitSliceMs = 10;
// After the job is ended, how long the child may take to be gone.
constexpr DWORD kEndWaitMs = 5000;
// Once the child is gone, how long what it started may still fill the pipe
// before the rest is left unread.
constexpr DWORD kDrainAfterEndMs = 1000;

std::wstring ErrorText(const wchar_t* prefix, DWORD code) {
    return prefix + std::to_wstring(static_cast<int32_t>(code));
}

using win32::SystemMessage;

CommandResult NotStarted(const wchar_t* prefix, DWORD code) {
    return {ErrorText(prefix, code), {CommandEnd::NotStarted, code, SystemMessage(code)}};
}

bool IsFullPath(const std::wstring& path) {
    if (path.size() < 3) return false;
    if (path[0] == L'\\' && path[1] == L'\\') return true;
    return std::iswalpha(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

bool CallKeepWaiting(const KeepWaiting& keepWaiting) {
    return keepWaiting ? keepWaiting() : true;
}

// Started suspended so that it is in the job before it can start anything.
struct StartedChild {
    win32::Handle process, thread, job;
};

DWORD StartChild(const std::wstring& commandLine, const ConsoleProgram& program, HANDLE output,
                 StartedChild& child) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    startup.hStdOutput = output;

    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    std::wstring writableCommand = commandLine;  // CreateProcessW may write into it
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.path.c_str(), writableCommand.data(), &security, &security, TRUE,
                       NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr, program.folder.c_str(), &startup,
                       &process) != TRUE)
        return GetLastError();
    child.process.reset(process.hProcess);
    child.thread.reset(process.hThread);
    // Where a job cannot be had (a system that does not nest them), the time
    // limit ends the child alone.
    child.job.reset(CreateJobObjectW(nullptr, nullptr));
    if (child.job && !AssignProcessToJobObject(child.job.get(), child.process.get())) child.job.reset();
    ResumeThread(child.thread.get());
    return ERROR_SUCCESS;
}

// Ends the child and what it started, waiting for the child to be gone while
// messages go on being processed.
void EndChild(const StartedChild& child, const KeepWaiting& keepWaiting) {
    if (!child.job || !TerminateJobObject(child.job.get(), ERROR_TIMEOUT))
        TerminateProcess(child.process.get(), ERROR_TIMEOUT);
    HANDLE process = child.process.get();
    for (const DWORD started = GetTickCount(); GetTickCount() - started < kEndWaitMs;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &process, FALSE, kWaitSliceMs, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED || !CallKeepWaiting(keepWaiting)) return;
    }
}

// The pipe's read end: keeps the first kConsoleOutputLimit bytes, drains the
// rest, and never blocks (it reads only what is there).
class OutputReader {
public:
    explicit OutputReader(win32::Handle readEnd) : readEnd_(std::move(readEnd)) {
        received_.reserve(kConsoleOutputLimit);
    }

    // Reads one chunk if there is one; answers whether bytes came.
    bool ReadSome() {
        if (!open_) return false;
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd_.get(), nullptr, 0, nullptr, &available, nullptr)) return Closed(GetLastError());
        if (available == 0) return false;
        uint8_t chunk[4096];
        DWORD got = 0;
        if (!ReadFile(readEnd_.get(), chunk, std::min<DWORD>(available, sizeof chunk), &got, nullptr))
            return Closed(GetLastError());
        size_t room = kConsoleOutputLimit - received_.size();
        received_.insert(received_.end(), chunk, chunk + std::min<size_t>(room, got));
        if (got > room) truncated_ = true;
        return got > 0;
    }

    DWORD Error() const { return error_; }
    std::wstring Text() { return DecodeConsoleOutput(std::move(received_), truncated_, GetOEMCP()); }

private:
    // A broken pipe is the ordinary end: every writer is gone.
    bool Closed(DWORD code) {
        if (code != ERROR_BROKEN_PIPE) error_ = code;
        open_ = false;
        return false;
    }

    win32::Handle readEnd_;
    std::vector<uint8_t> received_;
    bool truncated_ = false, open_ = true;
    DWORD error_ = 0;
};

}  // namespace

std::wstring DecodeConsoleOutput(std::vector<uint8_t> bytes, bool truncated, uint32_t codePage) {
    if (truncated) {
        CPINFO info{};
        if (codePage == CP_UTF8)
            bytes.resize(WholeCharacterPrefixUtf8(bytes));
        else if (GetCPInfo(codePage, &info) && info.MaxCharSize == 2)
            bytes.resize(WholeCharacterPrefixDbcs(
                bytes, [codePage](uint8_t b) { return IsDBCSLeadByteEx(codePage, b) != FALSE; }));
    }
    if (bytes.empty()) return {};
    const char* data = reinterpret_cast<const char*>(bytes.data());
    int size = static_cast<int>(bytes.size());
    int length = MultiByteToWideChar(codePage, 0, data, size, nullptr, 0);
    std::wstring out(length, L'\0');
    MultiByteToWideChar(codePage, 0, data, size, out.data(), length);
    return out;
}

ConsoleProgram SystemProgramFor(const std::wstring& commandLine) {
    std::wstring name = commandLine.substr(0, commandLine.find(L' '));
    if (name.find(L'.') == std::wstring::npos) name += L".exe";
    std::wstring folder = win32::SystemFolder();
    return {folder + name, folder};
}

CommandResult RunSystemCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting) {
    return RunConsoleCommand(SystemProgramFor(commandLine), commandLine, keepWaiting);
}

CommandResult RunConsoleCommand(const ConsoleProgram& program, const std::wstring& commandLine,
                                const KeepWaiting& keepWaiting, uint32_t timeLimitMs) {
    // Without a full path (no system folder, say) there is nothing safe to start.
    if (!IsFullPath(program.path) || !IsFullPath(program.folder)) {
        CallKeepWaiting(keepWaiting);
        CallKeepWaiting(keepWaiting);
        return NotStarted(L"Error: CreateProcess failed. ", ERROR_PATH_NOT_FOUND);
    }
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!CreatePipe(&readRaw, &writeRaw, &security, 0))
        return NotStarted(L"Error: CreatePipe failed. ", GetLastError());
    win32::Handle readEnd(readRaw), writeEnd(writeRaw);
    // Only the write end goes to the child.
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    StartedChild child;
    if (DWORD error = StartChild(commandLine, program, writeEnd.get(), child); error != ERROR_SUCCESS) {
        readEnd.reset();
        writeEnd.reset();
        CallKeepWaiting(keepWaiting);
        CallKeepWaiting(keepWaiting);
        return NotStarted(L"Error: CreateProcess failed. ", error);
    }
    // Without our copy of the write end, the pipe breaks as soon as the child
    // (and whatever it started) is gone, so reading can never hang.
    writeEnd.reset();

    // Every pass reads what is there, looks at the clock and processes
    // messages, so a child that writes without pause holds neither the
    // window nor the time limit; only an empty pipe waits.
    OutputReader output(std::move(readEnd));
    HANDLE process = child.process.get();
    bool childEnded = false, timedOut = false, abandoned = false;
    DWORD endedAt = 0;
    const DWORD started = GetTickCount();
    for (;;) {
        const bool endSeen = childEnded;
        const bool gotData = output.ReadSome();
        // A grandchild that still holds the write end is not waited for.
        if (endSeen && (!gotData || GetTickCount() - endedAt >= kDrainAfterEndMs)) break;
        if (!childEnded) {
            const DWORD elapsed = GetTickCount() - started;
            DWORD state = WaitForSingleObject(process, 0);
            if (state == WAIT_OBJECT_0 || state == WAIT_FAILED) {  // a failed wait must not spin
                childEnded = true;
            } else if (elapsed >= timeLimitMs) {
                EndChild(child, keepWaiting);
                childEnded = timedOut = true;  // what it left in the pipe is still read
            } else if (!gotData) {
                MsgWaitForMultipleObjects(1, &process, FALSE, std::min<DWORD>(kWaitSliceMs, timeLimitMs - elapsed),
                                          QS_ALLINPUT);
            }
            if (childEnded) endedAt = GetTickCount();
        }
        if (!CallKeepWaiting(keepWaiting)) {
            abandoned = true;
            break;
        }
    }

    CommandResult result{output.Text(), {}};
    if (abandoned) {
        result = {L"", {CommandEnd::Abandoned}};
    } else if (timedOut) {
        result.outcome.end = CommandEnd::TimedOut;
    } else if (DWORD error = output.Error(); error != 0) {
        result = {ErrorText(L"Error: ReadFile failed. ", error), {CommandEnd::ReadFailed, error, SystemMessage(error)}};
    } else {
        DWORD code = 0;
        result.outcome.code = GetExitCodeProcess(process, &code) ? code : GetLastError();
    }
    child = {};
    CallKeepWaiting(keepWaiting);
    CallKeepWaiting(keepWaiting);
    return result;
}

}  // namespace app
