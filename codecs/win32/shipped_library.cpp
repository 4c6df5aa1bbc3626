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

}  // namespace

void SetShippedLibraryFolder(std::wstring folder) { ShippedLibraryFolder() = std::move(folder); }

win32::Library LoadShippedLibrary(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return {};  // a bare file name only
    std::wstring file(name.begin(), name.end());  // library names are ASCII
    const std::wstring& chosen = ShippedLibraryFolder();
    win32::Library library = win32::LoadWithSystemImports((chosen.empty() ? win32::ProgramFolder() : chosen) + file);
    if (!library) library = win32::LoadWithSystemImports(win32::SystemFolder() + file);
    return library;
}

}  // namespace modParsers
