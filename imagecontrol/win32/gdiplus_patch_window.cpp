// GDI+ started once per top-level window, and shut down only after that
// window is gone. The token rides on a message-only window of our own, so
// nothing joins the caller's windows; its timer sees the top-level window
// go, and 50 ms later it shuts GDI+ down and lets go of the extra reference
// on its library. Each watcher lives on the thread that started GDI+ for
// its window; the table is shared by all threads.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "codecs/win32/gdiplus_flat.h"
#include "common/system_library.h"
#include "common/win32_handles.h"
#include "imagecontrol/cCrossComm.h"
#include "imagecontrol/win32/gdiplus_patch_window.h"

namespace {

constexpr wchar_t kWatcherClass[] = L"MendlowGdiplusShutdown";
constexpr UINT kShutdownDelayMs = 50;
// Nothing tells a message-only window that another window went: it asks.
constexpr UINT kPollMs = 50;
constexpr UINT_PTR kPollTimer = 1, kShutdownTimer = 2;

struct Patch {
    ULONG_PTR token = 0;
    void(WINAPI* shutdown)(ULONG_PTR) = nullptr;
    win32::Library extraReference;  // keeps GDI+ loaded until its shut-down
    win32::Window watcher;          // destroyed first, with its timers
};

// By top-level window, from the start-up to the shut-down.
struct PatchTable {
    std::mutex lock;
    std::map<HWND, Patch> patches;
};
PatchTable& Patches() {
    static PatchTable table;
    return table;
}

std::atomic<size_t> shutdownsDone{0};
std::atomic<uintptr_t> lastShutdownToken{0};

void ShutDown(Patch patch) {
    patch.shutdown(patch.token);
    ++shutdownsDone;
    lastShutdownToken = patch.token;
}  // destroys the watcher and releases the library reference

LRESULT CALLBACK WatcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER) return DefWindowProcW(window, message, wParam, lParam);
    PatchTable& table = Patches();
    std::unique_lock hold(table.lock);
    const auto found =
        std::ranges::find_if(table.patches, [&](const auto& entry) { return entry.second.watcher.get() == window; });
    if (found == table.patches.end()) return 0;
    if (wParam == kPollTimer) {
        if (IsWindow(found->first)) return 0;
        KillTimer(window, kPollTimer);
        if (SetTimer(window, kShutdownTimer, kShutdownDelayMs, nullptr) != 0) return 0;
    } else if (wParam != kShutdownTimer) {
        return 0;
    }
    Patch done = std::move(found->second);
    table.patches.erase(found);
    hold.unlock();
    ShutDown(std::move(done));
    return 0;
}

// The module this code is linked into, which owns the watcher class.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       kWatcherClass, &module);
    return module;
}

win32::Window MakeWatcher() {
    static const HINSTANCE module = ThisModule();
    static const bool registered = [] {
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExW(module, kWatcherClass, &existing)) return true;
        WNDCLASSEXW watcherClass{};
        watcherClass.cbSize = sizeof watcherClass;
        watcherClass.lpfnWndProc = WatcherProcedure;
        watcherClass.hInstance = module;
        watcherClass.lpszClassName = kWatcherClass;
        return RegisterClassExW(&watcherClass) != 0;
    }();
    if (!registered) return win32::Window();
    return win32::Window(CreateWindowExW(0, kWatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr));
}

HWND TopLevelOwner(HWND window) {
    for (HWND parent; (parent = GetParent(window)) != nullptr;) window = parent;
    for (HWND owner; (owner = GetWindow(window, GW_OWNER)) != nullptr;) window = owner;
    return window;
}

}  // namespace

size_t PendingGdiplusShutdowns() {
    PatchTable& table = Patches();
    const std::lock_guard hold(table.lock);
    const auto gone = [](const auto& entry) { return !IsWindow(entry.first); };
    return static_cast<size_t>(std::ranges::count_if(table.patches, gone));
}
size_t GdiplusShutdownsDone() { return shutdownsDone; }
uintptr_t LastGdiplusShutdownToken() { return lastShutdownToken; }

void cCrossComm::ManageGDIToken(uintptr_t containerHwnd) {
    if (containerHwnd == 0) return;
    const HWND top = TopLevelOwner(reinterpret_cast<HWND>(containerHwnd));
    PatchTable& table = Patches();
    const std::lock_guard hold(table.lock);
    if (table.patches.contains(top)) {
        gdiToken_ = kManagedElsewhere;
        return;
    }
    const gdiplus::Flat* flat = gdiplus::LoadFlat();
    if (flat == nullptr) return;
    ULONG_PTR token = 0;
    gdiplus::StartupInput input;
    if (flat->Startup(&token, &input, nullptr) != gdiplus::kOk || token == 0) return;
    gdiToken_ = token;

    // Without the watcher GDI+ stays started, with nobody to shut it down.
    win32::Window watcher = MakeWatcher();
    if (!watcher || SetTimer(watcher.get(), kPollTimer, kPollMs, nullptr) == 0) return;
    Patch& patch = table.patches[top];
    patch.token = token;
    patch.shutdown = flat->Shutdown;
    patch.extraReference = win32::LoadSystemLibrary(L"gdiplus.dll");
    patch.watcher = std::move(watcher);
}
