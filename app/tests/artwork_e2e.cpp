// The real mendlow.exe draws its artwork: the PNG composited over the
// window's background where the picture control sits, at 96 DPI and, in a
// process started with the screen at 144 DPI, scaled to 192 x 192; and it
// does so, and repairs, from a folder where system files have been planted,
// none of which runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <psapi.h>

#include "app/tests/expected_status_lines.h"
#include "app/tests/list_lines.h"
#include "app/tests/running_program.h"
#include "common/win32_handles.h"
#include "imagecore/c32bppDIB.h"

namespace {

constexpr int kArtLeftTwips = 60, kArtTopTwips = 60, kArtSideTwips = 1920;

struct Rgb {
    int r, g, b;
};

std::vector<uint8_t> ResourceBytes(const wchar_t* name) {
    HRSRC found = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    return data ? std::vector<uint8_t>(data, data + SizeofResource(nullptr, found)) : std::vector<uint8_t>{};
}

// The client area as the screen shows it, rows top-down.
class ClientPixels {
public:
    explicit ClientPixels(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        width_ = client.right, height_ = client.bottom;
        win32::WindowDc screen(nullptr);
        win32::MemoryDc memory(CreateCompatibleDC(screen.get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        win32::Bitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || !bits) return;
        {
            win32::SelectObjectScope select(memory.get(), bitmap.get());
            BitBlt(memory.get(), 0, 0, width_, height_, screen.get(), origin.x, origin.y, SRCCOPY);
        }
        GdiFlush();
        const auto* p = static_cast<const uint8_t*>(bits);
        pixels_.assign(p, p + static_cast<size_t>(width_) * height_ * 4);
    }
    Rgb At(int x, int y) const {
        const uint8_t* p = pixels_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
        return {p[2], p[1], p[0]};
    }
    bool Empty() const { return pixels_.empty(); }

private:
    int width_ = 0, height_ = 0;
    std::vector<uint8_t> pixels_;
};

// A premultiplied picture pixel over an opaque background.
Rgb Over(const c32bppDIB& picture, int x, int y, COLORREF background) {
    const uint8_t* p = picture.Pixels().PictureRow(y) + x * 4;
    const int a = p[3];
    auto channel = [&](int premultiplied, int back) { return premultiplied + (back * (255 - a) + 127) / 255; };
    return {channel(p[2], GetRValue(background)), channel(p[1], GetGValue(background)),
            channel(p[0], GetBValue(background))};
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Show(const Rgb& c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// The program with its main window up, painted and settled; closed at the end.
class Program {
public:
    Program() = default;
    Program(const std::wstring& path, const std::wstring& folder) : running_(path, L"", folder) {}
    HWND Window() {
        window_ = running_.WaitForMainWindow(60000);
        if (window_) {
            SetForegroundWindow(window_);
            Sleep(700);
        }
        return window_;
    }
    ~Program() {
        if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
        running_.WaitForExit(30000);
    }
    // The full paths of the libraries it has loaded, itself first.
    std::vector<std::wstring> Modules() const {
        HMODULE modules[512];
        DWORD bytes = 0;
        std::vector<std::wstring> paths;
        if (!EnumProcessModules(running_.Process(), modules, sizeof modules, &bytes)) return paths;
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            wchar_t path[MAX_PATH];
            DWORD length = GetModuleFileNameExW(running_.Process(), modules[i], path, MAX_PATH);
            paths.emplace_back(path, length);
        }
        return paths;
    }

private:
    RunningProgram running_;
    HWND window_ = nullptr;
};

// Sets the screen resolution new processes start with, and restores it.
class ScreenResolution {
public:
    explicit ScreenResolution(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~ScreenResolution() {
        if (had_)
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        else
            RegDeleteValueW(key_, L"LogPixels");
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 96;
    bool had_ = false;
};

// Where the artwork is at that resolution.
struct Placement {
    int left, top, side;
    explicit Placement(int dpi)
        : left(MulDiv(kArtLeftTwips, dpi, 1440)), top(MulDiv(kArtTopTwips, dpi, 1440)),
          side(MulDiv(kArtSideTwips, dpi, 1440)) {}
};

class Artwork : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<uint8_t> png = ResourceBytes(L"ARTWORK");
        ASSERT_FALSE(png.empty());
        ASSERT_TRUE(picture_.LoadPicture_Stream(png));
        ASSERT_EQ(picture_.Width(), 128);
        // A pixel of the soft glow: visible, but mostly see-through.
        for (int x = 0; x < 64 && edge_.x < 0; ++x) {
            const int a = picture_.Pixels().PictureRow(64)[x * 4 + 3];
            if (a > 20 && a < 160) edge_ = {x, 64};
        }
        ASSERT_GE(edge_.x, 0);
        ASSERT_EQ(picture_.Pixels().PictureRow(0)[3], 0) << "the corner is transparent";
    }

    void ExpectPictureOverBackground(HWND window) const {
        int dpi = 96;
        {
            win32::WindowDc screen(nullptr);
            dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
        }
        if (dpi != 96) GTEST_SKIP() << "the prefix is set to " << dpi << " DPI";
        ClientPixels shown(window);
        ASSERT_FALSE(shown.Empty());
        const Placement at(dpi);
        for (POINT p : {POINT{64, 64}, edge_, POINT{0, 0}, POINT{127, 127}, POINT{40, 90}}) {
            const Rgb expected = Over(picture_, p.x, p.y, background_), got = shown.At(at.left + p.x, at.top + p.y);
            EXPECT_TRUE(Near(got, expected, 1))
                << "at " << p.x << ", " << p.y << ": " << Show(got) << " instead of " << Show(expected);
        }
        // Just outside the picture, the background.
        EXPECT_TRUE(Near(shown.At(at.left + 128, at.top + 64),
                         {GetRValue(background_), GetGValue(background_), GetBValue(background_)}, 0));
    }

    c32bppDIB picture_{0};
    POINT edge_{-1, -1};
    const COLORREF background_ = GetSysColor(COLOR_BTNFACE);
};

TEST_F(Artwork, IsThePictureOverTheBackground) {
    Program program;
    HWND window = program.Window();
    ASSERT_NE(window, nullptr);
    ExpectPictureOverBackground(window);
}

TEST_F(Artwork, ScalesWithTheScreenResolution) {
    const ScreenResolution highDpi(144);
    Program program;
    HWND window = program.Window();
    ASSERT_NE(window, nullptr);
    const Placement at(144);
    ASSERT_EQ(at.side, 192);
    ClientPixels shown(window);
    ASSERT_FALSE(shown.Empty());
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, MulDiv(5325, 144, 1440)) << "the program did not start at 144 DPI";

    // The reference: the picture scaled with interpolation, over the background.
    std::unique_ptr<c32bppDIB> copy;
    picture_.SetHighQualityInterpolation(true);
    picture_.CopyImageTo(copy, 192, 192);
    ASSERT_TRUE(copy);
    double totalDifference = 0;
    int worst = 0;
    for (int y = 0; y < 192; ++y) {
        for (int x = 0; x < 192; ++x) {
            const Rgb expected = Over(*copy, x, y, background_), got = shown.At(at.left + x, at.top + y);
            const int d = std::max({std::abs(got.r - expected.r), std::abs(got.g - expected.g),
                                    std::abs(got.b - expected.b)});
            totalDifference += d;
            worst = std::max(worst, d);
        }
    }
    // Interpolating scalers differ in their filters, not in what they draw.
    EXPECT_LT(totalDifference / (192.0 * 192.0), 3.0);
    EXPECT_LT(worst, 96);
    // The artwork fills the control: its centre and its scaled glow are there,
    // the corners stay background.
    EXPECT_TRUE(Near(shown.At(at.left + 96, at.top + 96), Over(*copy, 96, 96, background_), 6));
    EXPECT_TRUE(Near(shown.At(at.left, at.top), Over(*copy, 0, 0, background_), 1));
    EXPECT_TRUE(Near(shown.At(at.left + 191, at.top + 191), Over(*copy, 191, 191, background_), 1));
}

// A folder as a download leaves it: the program, its zlib, and files named
// like system ones that record when they run. The test runs with Wine told
// to prefer such files to its own (WINEDLLOVERRIDES), as Windows does for
// libraries off its known list.
class PlantedFolder : public Artwork {
protected:
    void SetUp() override {
        Artwork::SetUp();
        const std::wstring bin = win32::ProgramFolder();
        folder_ = bin + L"planted\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        DeleteFileW((folder_ + L"planted.log").c_str());
        const std::pair<const wchar_t*, const wchar_t*> copies[] = {
            {L"mendlow.exe", L"mendlow.exe"},           {L"zlib1.dll", L"zlib1.dll"},
            {L"child_writer.exe", L"child_writer.exe"}, {L"planted_library.dll", L"msimg32.dll"},
            {L"planted_library.dll", L"uxtheme.dll"},   {L"planted_library.dll", L"gdiplus.dll"},
            {L"planted_program.exe", L"ipconfig.exe"}};
        for (const auto& [from, to] : copies)
            ASSERT_TRUE(CopyFileW((bin + from).c_str(), (folder_ + to).c_str(), FALSE)) << "copying to " << to;
    }

    // The names the planted files recorded since the last call.
    std::wstring Planted() const {
        const std::wstring log = folder_ + L"planted.log";
        win32::Handle file(CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        std::wstring text(4096, L'\0');
        DWORD got = 0;
        if (!file || !ReadFile(file.get(), text.data(), 4096 * sizeof(wchar_t), &got, nullptr)) got = 0;
        text.resize(got / sizeof(wchar_t));
        file.reset();
        DeleteFileW(log.c_str());
        return text;
    }
    long Run(const wchar_t* program, const std::wstring& arguments = L"") const {
        return RunningProgram(folder_ + program, arguments, folder_).WaitForExit(60000);
    }

    std::wstring folder_;
};

std::wstring Lowercase(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

TEST_F(PlantedFolder, NothingPlantedRunsWhileTheProgramShowsItsArtworkAndRepairs) {
    // Started, or reached by a search for a bare name, the planted files run.
    EXPECT_EQ(Run(L"ipconfig.exe"), 0);
    EXPECT_EQ(Run(L"child_writer.exe", L"load uxtheme.dll"), 0);
    EXPECT_EQ(Run(L"child_writer.exe", L"load gdiplus.dll"), 0);
    ASSERT_EQ(Planted(), L"ipconfig.exe\r\nuxtheme.dll\r\ngdiplus.dll\r\n")
        << "run with WINEDLLOVERRIDES=msimg32,uxtheme,gdiplus=n,b";

    std::vector<std::wstring> modules;
    {
        Program program(folder_ + L"mendlow.exe", folder_);
        HWND window = program.Window();
        ASSERT_NE(window, nullptr);
        HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
        HWND start = FindWindowExW(window, nullptr, L"Button", L"Start");
        ASSERT_TRUE(list && start);
        SendMessageW(start, BM_CLICK, 0, 0);
        for (int waited = 0; waited < 120000; waited += 100) {
            Sleep(100);
            if (ListLines(list).size() == kWineRunLineCount && IsWindowEnabled(start)) break;
        }
        EXPECT_TRUE(IsWineRun(ListLines(list)));  // the system's ipconfig ran, and said no
        ExpectPictureOverBackground(window);
        modules = program.Modules();
    }
    EXPECT_EQ(Planted(), L"");
    ASSERT_FALSE(modules.empty());
    bool gdiplus = false;
    for (const std::wstring& path : modules) {
        const std::wstring lower = Lowercase(path), name = lower.substr(lower.find_last_of(L"\\/") + 1);
        gdiplus = gdiplus || name == L"gdiplus.dll";
        if (lower.starts_with(Lowercase(folder_))) {
            EXPECT_TRUE(name == L"mendlow.exe" || name == L"zlib1.dll") << "loaded from the program's folder: " << path;
        }
    }
    EXPECT_TRUE(gdiplus) << "GDI+ was not loaded";
}

}  // namespace
