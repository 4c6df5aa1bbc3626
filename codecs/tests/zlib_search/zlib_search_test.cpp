// Which zlib the program finds, in which convention, and that it calls it
// correctly, and where it looks: the folder of shipped libraries (set per
// case to a folder of test libraries; by default this program's own, which
// holds none), then the system folder, never the current folder or PATH.
// Wine's own zlib1.dll is kept out of the way (WINEDLLOVERRIDES=zlib1=n), as
// on a system without one.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/program_folder.h"
#include "common/system_library.h"

#include <string>
#include <vector>

#include "codecs/modParsers.h"
#include "codecs/zlib_binding.h"

namespace {

// x86_64 has one calling convention, in which the caller removes the
// arguments: every library there reports cdecl and no probe runs.
#ifdef _WIN64
constexpr bool kOneConvention = true;
#else
constexpr bool kOneConvention = false;
#endif

struct Found {
    bool available;
    std::string name;
    int32_t which;
    bool isCdecl;
    bool hasCompress2;
};

std::wstring TestFolder(const wchar_t* name) { return win32::ProgramFolder() + name + L"\\"; }

// Searches with the shipped libraries in that test folder; "" for the default.
Found Search(const wchar_t* folder) {
    modParsers::SetShippedLibraryFolder(*folder ? TestFolder(folder) : L"");
    Found found{false, "", -1, false, false};
    found.isCdecl = true;  // the probe must overwrite it
    found.available = modParsers::ZlibAvailable(found.name, found.which, found.isCdecl, found.hasCompress2, false);
    return found;
}

// Deflates and inflates through the binding and checks a known CRC.
void ExpectWorkingZlib(ZlibBinding& zlib) {
    const uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(zlib.Crc32(0, iend, 4), 0xAE426082u);
    std::vector<uint8_t> data(5000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i % 13);
    std::vector<uint8_t> packed(6000), unpacked(5000);
    uint32_t packedSize = 6000, unpackedSize = 5000;
    int status = zlib.HasCompress2() ? zlib.Compress2(packed.data(), packedSize, data.data(), 5000, 9)
                                     : zlib.Compress(packed.data(), packedSize, data.data(), 5000);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(zlib.Uncompress(unpacked.data(), unpackedSize, packed.data(), packedSize), 0);
    EXPECT_EQ(unpacked, data);
}

TEST(ZlibSearch, ShippedZlib1IsFoundAsCdecl) {
    Found found = Search(L"cdecl");
    EXPECT_TRUE(found.available);
    EXPECT_EQ(found.name, "zlib1.dll");
    EXPECT_EQ(found.which, 2);
    EXPECT_TRUE(found.isCdecl);
    EXPECT_TRUE(found.hasCompress2);
    ZlibBinding zlib;
    EXPECT_TRUE(zlib.IsCdecl());
    ExpectWorkingZlib(zlib);
}

TEST(ZlibSearch, Zlib1IsPreferredWhenBothArePresent) {
    Found found = Search(L"both");
    EXPECT_EQ(found.which, 2);
    EXPECT_TRUE(found.isCdecl);
}

TEST(ZlibSearch, Zlib1WithoutCrc32CountsAsAbsent) {
    // zlib1.dll here has compress2 but no crc32; zlib.dll is stdcall without compress2.
    Found found = Search(L"nocrc");
    EXPECT_TRUE(found.available);
    EXPECT_EQ(found.name, "zlib.dll");
    EXPECT_EQ(found.which, 1);
    EXPECT_EQ(found.isCdecl, kOneConvention);
    EXPECT_FALSE(found.hasCompress2);  // of the library finally chosen
    ZlibBinding zlib;
    ExpectWorkingZlib(zlib);
}

TEST(ZlibSearch, StdcallZlibIsProbedAndCalledCorrectly) {
    if (kOneConvention) GTEST_SKIP() << "x86_64 has no stdcall convention to probe for";
    Found found = Search(L"stdcall");
    EXPECT_TRUE(found.available);
    EXPECT_EQ(found.name, "zlib.dll");
    EXPECT_EQ(found.which, 1);
    EXPECT_FALSE(found.isCdecl);
    EXPECT_TRUE(found.hasCompress2);
    ZlibBinding zlib;
    EXPECT_FALSE(zlib.IsCdecl());
    ExpectWorkingZlib(zlib);
}

// A library copied into a folder for one test, removed again after it.
class CopiedLibrary {
public:
    CopiedLibrary(const std::wstring& from, std::wstring to) : to_(std::move(to)) {
        copied_ = CopyFileW(from.c_str(), to_.c_str(), FALSE) != FALSE;
    }
    ~CopiedLibrary() { DeleteFileW(to_.c_str()); }
    bool Copied() const { return copied_; }

private:
    std::wstring to_;
    bool copied_ = false;
};

TEST(ZlibSearch, DefaultsToTheProgramsFolderThenTheSystemFolder) {
    {
        CopiedLibrary beside(TestFolder(L"cdecl") + L"zlib1.dll", win32::ProgramFolder() + L"zlib1.dll");
        ASSERT_TRUE(beside.Copied());
        Found found = Search(L"");
        EXPECT_EQ(found.which, 2);
        EXPECT_TRUE(found.isCdecl);
    }
    CopiedLibrary system(TestFolder(L"nocrc") + L"zlib.dll", win32::SystemFolder() + L"zlib.dll");
    ASSERT_TRUE(system.Copied()) << "the system folder cannot be written to";
    Found found = Search(L"");
    EXPECT_EQ(found.which, 1);
    EXPECT_FALSE(found.hasCompress2);
}

TEST(ZlibSearch, NeverFromTheCurrentFolderOrPath) {
    wchar_t current[MAX_PATH] = {}, path[8192] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    GetEnvironmentVariableW(L"PATH", path, 8192);
    const std::wstring libraries = TestFolder(L"cdecl");
    SetCurrentDirectoryW(libraries.c_str());
    SetEnvironmentVariableW(L"PATH", (libraries + L";" + path).c_str());
    Found found = Search(L"none");
    ZlibBinding zlib;
    SetCurrentDirectoryW(current);
    SetEnvironmentVariableW(L"PATH", path);
    EXPECT_FALSE(found.available);
    EXPECT_FALSE(zlib.IsAvailable());
}

TEST(ZlibSearch, NothingFound) {
    Found found = Search(L"none");
    EXPECT_FALSE(found.available);
    EXPECT_EQ(found.which, 0);
    EXPECT_EQ(found.name, "zlib.dll");
    ZlibBinding zlib;
    EXPECT_FALSE(zlib.IsAvailable());
    std::vector<uint8_t> out(10);
    uint32_t size = 10;
    EXPECT_EQ(zlib.Crc32(0, out.data(), 10), 0u);
    EXPECT_NE(zlib.Uncompress(out.data(), size, out.data(), 10), 0);
}

}  // namespace
