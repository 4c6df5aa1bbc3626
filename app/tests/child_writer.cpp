// A console program for the runner's tests:
//   child_writer bytes N    writes N bytes of a known pattern to standard output
//   child_writer stderr N   writes N bytes to standard error only
//   child_writer exit CODE  writes nothing and exits with CODE
//   child_writer hold MS    writes "held" and stays alive for MS milliseconds
//   child_writer cwd        writes its current folder
//   child_writer load NAME  loads the library by its bare name; exits 0 if it loaded
//   child_writer raw HEX    writes the bytes spelled in hexadecimal
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/tests/output_pattern.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "cwd") == 0) {
        char folder[MAX_PATH];
        DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
        WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), std::vector<char>(folder, folder + length));
        return 0;
    }
    if (argc < 3) return 100;
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
