// Where libraries that ship with the program are loaded from.
#include "codecs/modParsers.h"
#include "common/program_folder.h"
#include "common/system_library.h"

namespace modParsers {
namespace {

std::wstring& ShippedLibraryFolder() {
    static std::wstring folder;
    return folder;
}

// The library at that full path; what it imports comes from the system folder.
win32::Library LoadFrom(const std::wstring& path) {
    win32::Library library(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER)  // systems without the search flags
        library.reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return library;
}

}  // namespace

void SetShippedLibraryFolder(std::wstring folder) { ShippedLibraryFolder() = std::move(folder); }

win32::Library LoadShippedLibrary(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return {};  // a bare file name only
    std::wstring file(name.begin(), name.end());  // library names are ASCII
    const std::wstring& chosen = ShippedLibraryFolder();
    win32::Library library = LoadFrom((chosen.empty() ? win32::ProgramFolder() : chosen) + file);
    if (!library) library = LoadFrom(win32::SystemFolder() + file);
    return library;
}

}  // namespace modParsers
