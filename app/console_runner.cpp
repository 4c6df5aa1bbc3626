#include "app/console_runner.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/ansi_text.h"
#include "common/system_library.h"
#include "common/win32_handles.h"

namespace app {
namespace {

constexpr DWORD kWaitSliceMs = 10;
// After the job is ended, how long the child may take to be gone.
constexpr DWORD kEndWaitMs = 5000;

std::wstring ErrorText(const wchar_t* prefix, DWORD code) {
    return prefix + std::to_wstring(static_cast<int32_t>(code));
}

CommandResult NotStarted(const wchar_t* prefix, DWORD code) {
    return {ErrorText(prefix, code), {CommandEnd::NotStarted, code}};
}

// Console programs write in the OEM code page, not the ANSI one.
std::wstring FromOem(std::vector<uint8_t> bytes, bool truncated) {
    const UINT codePage = GetOEMCP();
    if (truncated) {
        CPINFO info{};
        if (codePage == CP_UTF8)
            bytes.resize(WholeCharacterPrefixUtf8(bytes));
        else if (GetCPInfo(codePage, &info) && info.MaxCharSize == 2)
            bytes.resize(
                WholeCharacterPrefixDbcs(bytes, [](uint8_t b) { return IsDBCSLeadByteEx(GetOEMCP(), b) != FALSE; }));
    }
    if (bytes.empty()) return {};
    const char* data = reinterpret_cast<const char*>(bytes.data());
    int size = static_cast<int>(bytes.size());
    int length = MultiByteToWideChar(codePage, 0, data, size, nullptr, 0);
    std::wstring out(length, L'\0');
    MultiByteToWideChar(codePage, 0, data, size, out.data(), length);
    return out;
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
    if (CreateProcessW(program.path.empty() ? nullptr : program.path.c_str(), writableCommand.data(), &security,
                       &security, TRUE, NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr,
                       program.folder.empty() ? nullptr : program.folder.c_str(), &startup, &process) != TRUE)
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

void EndChild(const StartedChild& child) {
    if (!child.job || !TerminateJobObject(child.job.get(), ERROR_TIMEOUT))
        TerminateProcess(child.process.get(), ERROR_TIMEOUT);
    WaitForSingleObject(child.process.get(), kEndWaitMs);
}

}  // namespace

ConsoleProgram SystemProgramFor(const std::wstring& commandLine) {
    std::wstring name = commandLine.substr(0, commandLine.find(L' '));
    if (name.find(L'.') == std::wstring::npos) name += L".exe";
    std::wstring folder = win32::SystemFolder();
    return {folder + name, folder};
}

CommandResult RunSystemCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting) {
    ConsoleProgram program = SystemProgramFor(commandLine);
    // Without the system folder there is nothing safe to start.
    if (program.folder.empty()) return NotStarted(L"Error: CreateProcess failed. ", ERROR_PATH_NOT_FOUND);
    return RunConsoleCommand(commandLine, keepWaiting, program);
}

CommandResult RunConsoleCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting,
                                const ConsoleProgram& program, uint32_t timeLimitMs) {
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

    // Read while the child runs, so a child that writes more than the pipe
    // holds is never stuck; keep the first bytes and drain the rest.
    std::vector<uint8_t> received;
    received.reserve(kConsoleOutputLimit);
    bool truncated = false, childEnded = false, pipeOpen = true;
    CommandOutcome outcome;
    DWORD readError = 0;
    const DWORD started = GetTickCount();
    uint8_t chunk[4096];
    for (;;) {
        DWORD available = 0;
        if (pipeOpen && !PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) {
            if (DWORD code = GetLastError(); code != ERROR_BROKEN_PIPE) readError = code;
            pipeOpen = false;
        }
        if (pipeOpen && available > 0) {
            DWORD got = 0;
            if (!ReadFile(readEnd.get(), chunk, std::min<DWORD>(available, sizeof chunk), &got, nullptr)) {
                if (DWORD code = GetLastError(); code != ERROR_BROKEN_PIPE) readError = code;
                pipeOpen = false;
                continue;
            }
            size_t room = kConsoleOutputLimit - received.size();
            received.insert(received.end(), chunk, chunk + std::min<size_t>(room, got));
            if (got > room) truncated = true;
            continue;
        }
        // The child has ended and the pipe is empty; a grandchild that still
        // holds the write end is not waited for.
        if (childEnded) break;
        const DWORD elapsed = GetTickCount() - started;
        if (elapsed >= timeLimitMs) {
            EndChild(child);
            outcome.end = CommandEnd::TimedOut;
            break;
        }
        HANDLE process = child.process.get();
        DWORD slice = std::min<DWORD>(kWaitSliceMs, timeLimitMs - elapsed);
        DWORD wait = MsgWaitForMultipleObjects(1, &process, FALSE, slice, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) {
            childEnded = true;  // a failed wait must not spin: take what is there
        } else if (!CallKeepWaiting(keepWaiting)) {
            received.clear();
            outcome.end = CommandEnd::Abandoned;
            break;
        }
    }
    if (childEnded) {
        DWORD code = 0;
        outcome.code = GetExitCodeProcess(child.process.get(), &code) ? code : GetLastError();
    }

    child = {};
    readEnd.reset();
    CommandResult result{readError != 0 ? ErrorText(L"Error: ReadFile failed. ", readError)
                                        : FromOem(std::move(received), truncated),
                         outcome};
    CallKeepWaiting(keepWaiting);
    CallKeepWaiting(keepWaiting);
    return result;
}

}  // namespace app
