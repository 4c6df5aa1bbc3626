// GDI+ started once per top-level window, and shut down only after that
// window is gone: a hidden "Static" child carries the token; once it has
// been destroyed and its last message handled, a 50 ms thread timer shuts
// GDI+ down and lets go of the extra reference on its library.
#include <windows.h>

#include <map>

#include "codecs/win32/gdiplus_flat.h"
#include "common/system_library.h"
#include "common/win32_handles.h"
#include "imagecontrol/cCrossComm.h"
#include "imagecontrol/win32/gdiplus_patch_window.h"

namespace {

constexpr char kPatchTitle[] = "GDI+Safe Patch";
constexpr UINT kShutdownDelayMs = 50;

struct Patch {
    int nesting = 0;
    bool destroyed = false;
    ULONG_PTR token = 0;
    void(WINAPI* shutdown)(ULONG_PTR) = nullptr;
    WNDPROC previous = nullptr;
    win32::Library extraReference;  // keeps GDI+ loaded until its shut-down
};

std::map<HWND, Patch>& LivePatches() {
    static std::map<HWND, Patch> patches;
    return patches;
}

std::map<UINT_PTR, Patch>& PendingShutdowns() {
    static std::map<UINT_PTR, Patch> pending;
    return pending;
}

size_t shutdownsDone = 0;
uintptr_t lastShutdownToken = 0;

void CALLBACK ShutdownAfterDelay(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto found = PendingShutdowns().find(id);
    if (found == PendingShutdowns().end()) return;
    found->second.shutdown(found->second.token);
    ++shutdownsDone;
    lastShutdownToken = found->second.token;
    PendingShutdowns().erase(found);  // releases the library reference
}

LRESULT CALLBACK PatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = LivePatches().find(window);
    if (found == LivePatches().end()) return DefWindowProcA(window, message, wParam, lParam);
    Patch& patch = found->second;
    ++patch.nesting;
    const LRESULT result = CallWindowProcA(patch.previous, window, message, wParam, lParam);
    --patch.nesting;
    if (message == WM_DESTROY) patch.destroyed = true;
    if (patch.nesting == 0 && patch.destroyed) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(patch.previous));
        const UINT_PTR timer = SetTimer(nullptr, 0, kShutdownDelayMs, ShutdownAfterDelay);
        if (timer != 0) PendingShutdowns().emplace(timer, std::move(patch));
        LivePatches().erase(found);
    }
    return result;
}

HWND TopLevelOwner(HWND window) {
    for (HWND parent; (parent = GetParent(window)) != nullptr;) window = parent;
    for (HWND owner; (owner = GetWindow(window, GW_OWNER)) != nullptr;) window = owner;
    return window;
}

}  // namespace

size_t PendingGdiplusShutdowns() { return PendingShutdowns().size(); }
size_t GdiplusShutdownsDone() { return shutdownsDone; }
uintptr_t LastGdiplusShutdownToken() { return lastShutdownToken; }

void cCrossComm::ManageGDIToken(uintptr_t containerHwnd) {
    if (containerHwnd == 0) return;
    const HWND top = TopLevelOwner(reinterpret_cast<HWND>(containerHwnd));
    if (FindWindowExA(top, nullptr, "Static", kPatchTitle) != nullptr) {
        gdiToken_ = kManagedElsewhere;
        return;
    }
    const gdiplus::Flat* flat = gdiplus::LoadFlat();
    if (flat == nullptr) return;
    ULONG_PTR token = 0;
    gdiplus::StartupInput input;
    if (flat->Startup(&token, &input, nullptr) != gdiplus::kOk || token == 0) return;
    gdiToken_ = static_cast<uint32_t>(token);

    // Without the window GDI+ stays started, with nobody to shut it down.
    const HWND patchWindow = CreateWindowExA(0, "Static", kPatchTitle, WS_CHILD, 0, 0, 0, 0, top, nullptr,
                                             GetModuleHandleA(nullptr), nullptr);
    if (patchWindow == nullptr) return;
    Patch patch;
    patch.token = token;
    patch.shutdown = flat->Shutdown;
    patch.extraReference = win32::LoadSystemLibrary(L"gdiplus.dll");
    Patch& live = LivePatches()[patchWindow] = std::move(patch);
    live.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(patchWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PatchProcedure)));
}
