#include "app/mdXpThemeSupport.h"

#include <shlwapi.h>
#include <vssym32.h>

#include <cwchar>
#include <memory>
#include <string>

#include "app/button_look.h"
#include "app/host/common_controls.h"
#include "app/host/form.h"
#include "app/host/picture_drawing.h"
#include "app/theme_library.h"
#include "common/system_library.h"
#include "common/win32_handles.h"

namespace mdXpThemeSupport {
namespace {

constexpr int kPushButtonPart = 1;  // BP_PUSHBUTTON
constexpr int kNormalState = 1;
constexpr UINT kCaptionFormat = 17;  // DT_CENTER | DT_WORDBREAK
constexpr char kHot[] = "Hot";
constexpr char kPainted[] = "Painted";

bool initialised = false;

bool Flag(HWND window, const char* name) { return GetPropA(window, name) != nullptr; }

void SetFlag(HWND window, const char* name, bool value) {
    SetPropA(window, name, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(value ? 1 : 0)));
}

// The major version in an assembly identity's version="6.0.2600.2982".
int AssemblyMajorVersion(const wchar_t* identity) {
    const wchar_t* version = identity ? std::wcsstr(identity, L"version=\"") : nullptr;
    return version ? static_cast<int>(std::wcstol(version + 9, nullptr, 10)) : 0;
}

// Some implementations report an older version from the side-by-side
// common controls 6 than the assembly they were loaded from: what the
// process's activation context maps the library to decides then.
int RedirectedCommonControlsVersion() {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    if (!FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data))
        return 0;
    alignas(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION) BYTE buffer[2048];
    ULONG index = data.ulAssemblyRosterIndex;
    SIZE_T needed = 0;
    if (!QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext, buffer, sizeof buffer,
                      &needed))
        return 0;
    auto* assembly = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer);
    return AssemblyMajorVersion(assembly->lpAssemblyEncodedAssemblyIdentity);
}

// The Default of the form's control with the focus, when it has one.
std::optional<int> ActiveControlDefault(const host::ButtonControl& button) {
    host::Form* form = host::Form::FromWindow(GetAncestor(button.Window(), GA_ROOT));
    host::Control* active = form ? form->ActiveControl() : nullptr;
    return active ? active->Default() : std::nullopt;
}

IPicture* PictureFor(app::ButtonPicture choice, const host::ButtonControl& button) {
    switch (choice) {
        case app::ButtonPicture::DownPicture: return pvChoosePicture(button.DownPicture(), button.Picture());
        case app::ButtonPicture::DisabledPicture: return pvChoosePicture(button.DisabledPicture(), button.Picture());
        case app::ButtonPicture::Picture: break;
    }
    return button.Picture();
}

}  // namespace

namespace {
size_t reportedErrors = 0;
const char* lastReported = "";
}  // namespace

size_t ReportedErrorCount() { return reportedErrors; }
const char* LastReportedRoutine() { return lastReported; }

void pvReportError(const char* routine) {
    ++reportedErrors;
    lastReported = routine;
    struct LocalFreeDeleter {
        void operator()(wchar_t* text) const { LocalFree(text); }
    };
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::unique_ptr<wchar_t, LocalFreeDeleter> description(text);  // fetched, then dropped
    SetLastError(0);
}

bool IsComCtl6Loaded() {
    HMODULE module = comctl32::Module();
    using GetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    auto getVersion = module ? reinterpret_cast<GetVersion>(
                                   reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")))
                             : nullptr;
    DLLVERSIONINFO version{};
    version.cbSize = 20;
    if (!getVersion || FAILED(getVersion(&version))) {
        pvReportError("IsComCtl6Loaded");
        return false;
    }
    return version.dwMajorVersion >= 6 || RedirectedCommonControlsVersion() >= 6;
}

bool InitVisualStyles() {
    if (initialised) return false;
    if (IsComCtl6Loaded()) {
        // Loaded for the process's life, before the first themed window.
        win32::LoadSystemLibrary(L"shell32.dll").release();
        INITCOMMONCONTROLSEX init{8, 0x200};
        comctl32::InitCommonControlsEx(&init);
    }
    initialised = true;
    return true;
}

bool VisualStylesInitialised() { return initialised; }

bool FixThemeSupport(const std::vector<std::unique_ptr<host::Control>>& controls) {
    if (!IsComCtl6Loaded()) return false;
    for (const auto& control : controls) {
        HWND window = control->Window();
        if (!window) continue;
        bool subclassed = true;
        if (dynamic_cast<host::Frame*>(control.get())) {
            subclassed = comctl32::SetWindowSubclass(window, pvRedirectFrame, 0, 0);
        } else if (auto* button = dynamic_cast<host::ButtonControl*>(control.get()); button && button->Graphical()) {
            subclassed = comctl32::SetWindowSubclass(window, pvRedirectButton, 0, reinterpret_cast<DWORD_PTR>(button));
        }
        if (!subclassed) pvReportError("FixThemeSupport");
    }
    return true;
}

LRESULT CALLBACK pvRedirectFrame(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_MOUSELEAVE || message == WM_PRINTCLIENT) return DefWindowProcA(window, message, wParam, lParam);
    return comctl32::DefSubclassProc(window, message, wParam, lParam);
}

bool pvIsThemed() {
    return uxtheme::IsAppThemed() && uxtheme::IsThemeActive() &&
           (uxtheme::GetThemeAppProperties() & STAP_ALLOW_CONTROLS);
}

void pvInvalidateButton(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    ValidateRect(window, nullptr);
    win32::Theme theme(uxtheme::OpenThemeData(window, L"BUTTON"));
    HRGN shape = nullptr;
    if (!theme ||
        FAILED(uxtheme::GetThemeBackgroundRegion(theme.get(), nullptr, kPushButtonPart, kNormalState, &client,
                                                 &shape)) ||
        !shape) {
        InvalidateRect(window, &client, FALSE);  // without a shape, all of it
        return;
    }
    win32::Region region(shape);
    InvalidateRgn(window, region.get(), FALSE);
}

LRESULT CALLBACK pvRedirectButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR refData) {
    auto* button = reinterpret_cast<const host::ButtonControl*>(refData);
    bool suspended = false;
    try {
        bool themed = pvIsThemed();
        if (themed && IsWindowVisible(window)) {
            if (message == WM_SETFOCUS || message == WM_ENABLE) {
                suspended = true;
                SendMessageW(window, WM_SETREDRAW, FALSE, 0);
            } else if (message == WM_PAINT) {
                SetFlag(window, kPainted, true);
                win32::PaintDc paint(window);
                if (paint.get() && button) pvDrawButton(window, paint.get(), *button);
                return 0;
            }
        }
        LRESULT result = comctl32::DefSubclassProc(window, message, wParam, lParam);
        if (!themed) return result;
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_MOUSEHOVER:
                SetFlag(window, kHot, true);
                pvInvalidateButton(window);
                break;
            case WM_KILLFOCUS:
            case WM_MOUSELEAVE:
                SetFlag(window, kHot, false);
                pvInvalidateButton(window);
                break;
            case WM_MOUSEMOVE:
                if (!Flag(window, kHot)) {
                    TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, window, 1};  // 16 bytes on i686
                    TrackMouseEvent(&track);
                }
                if (!Flag(window, kPainted)) pvInvalidateButton(window);
                break;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
                pvInvalidateButton(window);
                break;
            case WM_SETFOCUS:
            case WM_ENABLE:
                if (suspended) {
                    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
                    if (message == WM_ENABLE)
                        InvalidateRect(window, nullptr, FALSE);
                    else
                        pvInvalidateButton(window);
                }
                break;
            default:
                break;
        }
        return result;
    } catch (...) {
        // Nothing may unwind into the system's message dispatch.
        if (suspended) SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        pvReportError("pvRedirectButton");
        return 0;
    }
}

void pvDrawButton(HWND window, HDC dc, const host::ButtonControl& button) {
    LRESULT buttonState = SendMessageW(window, BM_GETSTATE, 0, 0);
    bool pushed = (buttonState & BST_PUSHED) != 0;
    bool focused = (buttonState & BST_FOCUS) != 0;
    bool hasFocus = GetFocus() == window;
    bool isDefault = app::ShowsDefault(button.Default().value_or(0) != 0, hasFocus,
                                       hasFocus ? std::nullopt : ActiveControlDefault(button));
    app::ButtonLook look = app::ChooseButtonLook({.enabled = button.Enabled(),
                                                  .hot = Flag(window, kHot),
                                                  .pushed = pushed,
                                                  .focused = focused,
                                                  .isDefault = isDefault,
                                                  .value = button.Value() != 0});
    // The picture this state shows, which may be the only one: the caption makes room for it.
    IPicture* picture = PictureFor(look.picture, button);
    int state = static_cast<int>(look.state);

    RECT client;
    GetClientRect(window, &client);
    RECT content = client;
    RECT area = client;
    {
        win32::Theme theme(uxtheme::OpenThemeData(window, L"BUTTON"));
        if (!theme) pvReportError("pvDrawButton");

        // The parent shows around the button's shape.
        HRGN shape = nullptr;
        bool parentDrawn = false;
        if (theme && uxtheme::IsThemeBackgroundPartiallyTransparent(theme.get(), kPushButtonPart, state)) {
            // Soft edges blend with what lies under them: all of it must be
            // the parent's, or they darken with every repaint.
            parentDrawn = SUCCEEDED(uxtheme::DrawThemeParentBackground(window, dc, &client));
        } else if (theme &&
                   SUCCEEDED(
                       uxtheme::GetThemeBackgroundRegion(theme.get(), dc, kPushButtonPart, state, &client, &shape)) &&
                   shape) {
            win32::Region region(shape);
            ExtSelectClipRgn(dc, region.get(), RGN_DIFF);
            parentDrawn = SUCCEEDED(uxtheme::DrawThemeParentBackground(window, dc, &client));
            ExtSelectClipRgn(dc, nullptr, RGN_COPY);
        }
        if (!parentDrawn)
            pvDrawRect(dc, client.left, client.top, client.right - client.left, client.bottom - client.top,
                       host::ResolveOleColor(button.BackColor()));

        if (theme) {
            uxtheme::DrawThemeBackground(theme.get(), dc, kPushButtonPart, state, &client, nullptr);
            uxtheme::GetThemeBackgroundContentRect(theme.get(), dc, kPushButtonPart, state, &client, &content);
        }
        if (focused) DrawFocusRect(dc, &content);
        area = content;

        std::wstring caption = button.Caption();
        if (!caption.empty()) {
            win32::SelectObjectScope font(dc, button.Font() ? static_cast<HGDIOBJ>(button.Font())
                                                            : GetStockObject(DEFAULT_GUI_FONT));
            RECT measured = content;
            DrawTextW(dc, caption.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK);
            app::Band band = app::CaptionBand(content.bottom, measured.bottom, host::HoldsImage(picture));
            RECT text{content.left, band.top, content.right, band.bottom};
            if (theme)
                uxtheme::DrawThemeText(theme.get(), dc, kPushButtonPart, state, caption.c_str(), -1, kCaptionFormat, 0,
                                       &text);
            else
                DrawTextW(dc, caption.c_str(), -1, &text, kCaptionFormat);
            area.bottom = text.top;
        }
    }

    if (!host::HoldsImage(picture)) return;
    SIZE size = host::PicturePixelSize(picture);
    POINT at = host::CentredPicturePosition(picture, area);
    COLORREF mask = host::ResolveOleColor(button.MaskColor());
    if (!button.Enabled())
        pvDrawDisabledPicture(picture, dc, at.x, at.y, size.cx, size.cy, mask);
    else if (button.UseMaskColor())
        pvDrawTransparentPicture(picture, dc, at.x, at.y, size.cx, size.cy, mask, 0, 0, 0, 0);
    else
        host::RenderPicture(picture, dc, at.x, at.y, size.cx, size.cy);
}

void pvDrawTransparentPicture(IPicture* picture, HDC dc, int x, int y, int width, int height,
                              COLORREF transparentColor, int sourceX, int sourceY, int sourceWidth, int sourceHeight) {
    if (!host::DrawTransparentPicture(picture, dc, x, y, width, height, transparentColor, sourceX, sourceY,
                                      sourceWidth, sourceHeight))
        pvReportError("pvDrawTransparentPicture");
}

void pvDrawDisabledPicture(IPicture* picture, HDC dc, int x, int y, int width, int height, COLORREF transparentColor) {
    if (!host::DrawDisabledPicture(picture, dc, x, y, width, height, transparentColor))
        pvReportError("pvDrawDisabledPicture");
}

void pvDrawRect(HDC dc, int x, int y, int width, int height, COLORREF color) {
    if (!host::FillColor(dc, x, y, width, height, color)) pvReportError("pvDrawRect");
}

IPicture* pvChoosePicture(IPicture* first, IPicture* second) { return host::ChoosePicture(first, second); }

}  // namespace mdXpThemeSupport
