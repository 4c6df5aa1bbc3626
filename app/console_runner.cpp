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

std::wstring ErrorText(const wchar_t* prefix, DWORD code) {
    return prefix + std::to_wstring(static_cast<int32_t>(code));
}

std::wstring FromAnsi(std::vector<uint8_t> bytes, bool truncated) {
    if (truncated) {
        UINT codePage = GetACP();
        CPINFO info{};
        if (codePage == CP_UTF8)
            bytes.resize(WholeCharacterPrefixUtf8(bytes));
        else if (GetCPInfo(codePage, &info) && info.MaxCharSize == 2)
            bytes.resize(WholeCharacterPrefixDbcs(bytes, [](uint8_t b) { return IsDBCSLeadByte(b) != FALSE; }));
    }
    if (bytes.empty()) return {};
    const char* data = reinterpret_cast<const char*>(bytes.data());
    int size = static_cast<int>(bytes.size());
    int length = MultiByteToWideChar(CP_ACP, 0, data, size, nullptr, 0);
    std::wstring out(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, data, size, out.data(), length);
    return out;
}

bool CallKeepWaiting(const KeepWaiting& keepWaiting) {
    return keepWaiting ? keepWaiting() : true;
}

}  // namespace

ConsoleProgram SystemProgramFor(const std::wstring& commandLine) {
    std::wstring name = commandLine.substr(0, commandLine.find(L' '));
    if (name.find(L'.') == std::wstring::npos) name += L".exe";
    std::wstring folder = win32::SystemFolder();
    return {folder + name, folder};
}

std::wstring RunSystemCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting) {
    ConsoleProgram program = SystemProgramFor(commandLine);
    // Without the system folder there is nothing safe to start.
    if (program.folder.empty()) return ErrorText(L"Error: CreateProcess failed. ", ERROR_PATH_NOT_FOUND);
    return RunConsoleCommand(commandLine, keepWaiting, program);
}

std::wstring RunConsoleCommand(const std::wstring& commandLine, const KeepWaiting& keepWaiting,
                               const ConsoleProgram& program) {
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!CreatePipe(&readRaw, &writeRaw, &security, 0)) return ErrorText(L"Error: CreatePipe failed. ", GetLastError());
    win32::Handle readEnd(readRaw), writeEnd(writeRaw);
    // Only the write end goes to the child.
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    startup.hStdOutput = writeEnd.get();

    std::wstring writableCommand = commandLine;  // CreateProcessW may write into it
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.path.empty() ? nullptr : program.path.c_str(), writableCommand.data(), &security,
                       &security, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                       program.folder.empty() ? nullptr : program.folder.c_str(), &startup, &process) != TRUE) {
        std::wstring error = ErrorText(L"Error: CreateProcess failed. ", GetLastError());
        readEnd.reset();
        writeEnd.reset();
        CallKeepWaiting(keepWaiting);
        CallKeepWaiting(keepWaiting);
        return error;
    }
    win32::Handle child(process.hProcess), childThread(process.hThread);
    // Without our copy of the write end, the pipe breaks as soon as the child
    // (and whatever it started) is gone, so reading can never hang.
    writeEnd.reset();

    // Read while the child runs, so a child that writes more than the pipe
    // holds is never stuck; keep the first bytes and drain the rest.
    std::vector<uint8_t> received;
    received.reserve(kConsoleOutputLimit);
    bool truncated = false;
    bool childEnded = false;
    DWORD readError = 0;
    uint8_t chunk[4096];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr)) {
            DWORD code = GetLastError();
            if (code != ERROR_BROKEN_PIPE) readError = code;
            break;
        }
        if (available > 0) {
            DWORD got = 0;
            if (!ReadFile(readEnd.get(), chunk, std::min<DWORD>(available, sizeof chunk), &got, nullptr)) {
                DWORD code = GetLastError();
                if (code != ERROR_BROKEN_PIPE) readError = code;
                break;
            }
            size_t room = kConsoleOutputLimit - received.size();
            received.insert(received.end(), chunk, chunk + std::min<size_t>(room, got));
            if (got > room) truncated = true;
            continue;
        }
        // The child has ended and the pipe is empty; a grandchild that still
        // holds the write end is not waited for.
        if (childEnded) break;
        DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, kWaitSliceMs, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) {
            childEnded = true;  // a failed wait must not spin: take what is there
        } else if (!CallKeepWaiting(keepWaiting)) {
            received.clear();
            break;
        }
    }

    child.reset();
    childThread.reset();
    readEnd.reset();
    std::wstring result = readError != 0 ? ErrorText(L"Error: ReadFile failed. ", readError)
                                         : FromAnsi(std::move(received), truncated);
    CallKeepWaiting(keepWaiting);
    CallKeepWaiting(keepWaiting);
    return result;
}

}  // namespace app
