#include "app/desktop_shell.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include "common/automation_values.h"
#include "common/win32_handles.h"

namespace app {
namespace {

// Spelled out: MinGW's import library hands some of these out as code, not data.
constexpr CLSID kClsidShellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
constexpr IID kIidShellWindows = {0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidServiceProvider = {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
constexpr GUID kSidTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr IID kIidShellBrowser = {0x000214E2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidShellFolderViewDual = {0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidShellDispatch2 = {0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0x00, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

template <class T>
win32::ComPtr<T> QueryAs(IUnknown* from, const IID& iid) {
    win32::ComPtr<T> result;
    if (from && FAILED(from->QueryInterface(iid, result.put_void()))) result.reset();
    return result;
}

// The desktop's folder view, as the shell that shows the desktop serves it.
win32::ComPtr<IShellView> DesktopView() {
    win32::ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(kClsidShellWindows, nullptr, CLSCTX_LOCAL_SERVER, kIidShellWindows,
                                windows.put_void())))
        return {};
    win32::Variant desktop(static_cast<LONG>(CSIDL_DESKTOP)), noRoot;
    LONG window = 0;
    win32::ComPtr<IDispatch> found;
    if (windows->FindWindowSW(desktop.get(), noRoot.get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.put()) !=
            S_OK ||
        !found)
        return {};
    auto services = QueryAs<IServiceProvider>(found.get(), kIidServiceProvider);
    win32::ComPtr<IShellBrowser> browser;
    if (!services || FAILED(services->QueryService(kSidTopLevelBrowser, kIidShellBrowser, browser.put_void())))
        return {};
    win32::ComPtr<IShellView> view;
    if (!browser || FAILED(browser->QueryActiveShellView(view.put()))) return {};
    return view;
}

}  // namespace

bool OpenWithDesktopShell(const std::wstring& address) {
    win32::ComPtr<IShellView> view = DesktopView();
    win32::ComPtr<IDispatch> background;
    if (!view || FAILED(view->GetItemObject(SVGIO_BACKGROUND, kIidDispatch, background.put_void()))) return false;
    auto folderView = QueryAs<IShellFolderViewDual>(background.get(), kIidShellFolderViewDual);
    win32::ComPtr<IDispatch> application;
    if (!folderView || FAILED(folderView->get_Application(application.put()))) return false;
    auto shell = QueryAs<IShellDispatch2>(application.get(), kIidShellDispatch2);
    win32::Bstr file(SysAllocString(address.c_str()));
    if (!shell || !file) return false;
    // The click let this process bring a window forward; the shell needs that
    // right for the browser not to open behind.
    CoAllowSetForegroundWindow(shell.get(), nullptr);
    const win32::Variant none(L""), open(L"open"), show(static_cast<LONG>(SW_SHOWNORMAL));
    return SUCCEEDED(shell->ShellExecute(file.get(), none.lend(), none.lend(), open.lend(), show.lend()));
}

}  // namespace app
