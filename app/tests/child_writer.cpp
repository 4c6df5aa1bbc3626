// A console program for the runner's tests:
//   child_writer bytes N    writes N bytes of a known pattern to standard output
//   child_writer stderr N   writes N bytes to standard error only
//   child_writer exit CODE  writes nothing and exits with CODE
//   child_writer hold MS    writes "held" and stays alive for MS milliseconds
//   child_writer cwd        writes its current folder
//   child_writer load NAME  loads the library by its bare name; exits 0 if it loaded
//   child_writer raw HEX    writes the bytes spelled in hexadecimal
//   child_writer spawn MS   starts "hold MS" with its own output, writes
//                           "pids SELF GRANDCHILD" and exits
//   child_writer tree MS    the same, then stays alive for MS milliseconds
//   child_writer flood      writes without pause until writing fails
//   child_writer parent FILE ARG  appends "PARENT_ID ARG" to FILE: a stand-in
//                           handler that tells who started it
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/tests/output_pattern.h"
#include "common/win32_handles.h"

namespace {

void WriteAll(HANDLE out, const std::vector<char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 65536));
        if (!WriteFile(out, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

// Starts "child_writer hold MS", which inherits our standard output.
DWORD StartGrandchild(const char* milliseconds) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" hold " + milliseconds;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return process.dwProcessId;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "cwd") == 0) {
        char folder[MAX_PATH];
        DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
        WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), std::vector<char>(folder, folder + length));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "flood") == 0) {
        const std::vector<char> line = OutputPattern(64);
        DWORD written = 0;
        while (WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), 64, &written, nullptr)) {
        }
        return 0;
    }
    if (argc < 3) return 100;
    if (std::strcmp(argv[1], "spawn") == 0 || std::strcmp(argv[1], "tree") == 0) {
        std::string pids = "pids " + std::to_string(GetCurrentProcessId()) + " " +
                           std::to_string(StartGrandchild(argv[2])) + "\r\n";
        WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), std::vector<char>(pids.begin(), pids.end()));
        if (argv[1][0] == 't') Sleep(static_cast<DWORD>(std::strtol(argv[2], nullptr, 10)));
        return 0;
    }
    if (std::strcmp(argv[1], "parent") == 0 && argc == 4) {
        DWORD parent = 0;
        win32::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
            if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
        win32::Handle file(CreateFileA(argv[2], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
        const std::string line = std::to_string(parent) + " " + argv[3] + "\r\n";
        WriteAll(file.get(), std::vector<char>(line.begin(), line.end()));
        return file ? 0 : 1;
    }
    if (std::strcmp(argv[1], "load") == 0) return LoadLibraryA(argv[2]) ? 0 : 1;
    if (std::strcmp(argv[1], "raw") == 0) {
        std::vector<char> bytes;
        for (const char* hex = argv[2]; hex[0] && hex[1]; hex += 2) {
            const char pair[3] = {hex[0], hex[1], 0};
            bytes.push_back(static_cast<char>(std::strtol(pair, nullptr, 16)));
        }
        WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
        return 0;
    }
    long value = std::strtol(argv[2], nullptr, 10);
    if (std::strcmp(argv[1], "bytes") == 0) {
        WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), OutputPattern(static_cast<size_t>(value)));
        return 0;
    }
    if (std::strcmp(argv[1], "stderr") == 0) {
        WriteAll(GetStdHandle(STD_ERROR_HANDLE), OutputPattern(static_cast<size_t>(value)));
        return 0;
    }
    if (std::strcmp(argv[1], "exit") == 0) return static_cast<int>(value);
    if (std::strcmp(argv[1], "hold") == 0) {
        WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), {'h', 'e', 'l', 'd'});
        Sleep(static_cast<DWORD>(value));
        return 0;
    }
    return 100;
}
