// A plain Win32 dialog with a MendlowAlphaImage: a PNG with alpha over the
// dialog's gradient, a slider for its opacity, a check box for its shadow
// and a button that fades it out and in. The line under the picture tells
// what the picture reported.
#include <windows.h>
#include <commctrl.h>

#include <mendlow/alpha_image_window.h>

#include <string>

#include "resource.h"

namespace {

// Top to bottom, from a pale sky to a deep blue.
void PaintGradient(HWND dialog, HDC dc) {
    RECT client;
    GetClientRect(dialog, &client);
    for (int y = 0; y < client.bottom; ++y) {
        const int t = client.bottom > 1 ? y * 255 / (client.bottom - 1) : 0;
        HBRUSH brush = CreateSolidBrush(RGB(200 - t * 150 / 255, 220 - t * 120 / 255, 255 - t * 80 / 255));
        RECT row{0, y, client.right, y + 1};
        FillRect(dc, &row, brush);
        DeleteObject(brush);
    }
}

// The status line is see-through: the gradient is painted again under it.
void Status(HWND dialog, const std::wstring& text) {
    HWND status = GetDlgItem(dialog, IDC_STATUS);
    SetWindowTextW(status, text.c_str());
    RECT area;
    GetWindowRect(status, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(dialog, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

INT_PTR CALLBACK ExampleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    mendlow::AlphaImageWindow picture(GetDlgItem(dialog, IDC_PICTURE));
    switch (message) {
        case WM_INITDIALOG: {
            if (!picture.LoadResource(nullptr, L"PNG", MAKEINTRESOURCEW(IDR_PICTURE))) Status(dialog, L"No picture");
            HWND slider = GetDlgItem(dialog, IDC_OPACITY);
            SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
            SendMessageW(slider, TBM_SETPOS, TRUE, 100);
            return TRUE;
        }
        case WM_ERASEBKGND:
            PaintGradient(dialog, reinterpret_cast<HDC>(wParam));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        case WM_PRINTCLIENT:  // what the picture draws behind itself
            PaintGradient(dialog, reinterpret_cast<HDC>(wParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:  // labels and the check box over the gradient; the slider keeps its own
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_OPACITY)) return FALSE;
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_OPACITY))
                picture.SetOpacity(static_cast<int>(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_SHADOW:
                    picture.SetShadowEnabled(IsDlgButtonChecked(dialog, IDC_SHADOW) == BST_CHECKED);
                    return TRUE;
                case IDC_FADE:
                    picture.Fade(picture.Opacity() > 0 ? 0 : 100, 10, 30);
                    return TRUE;
                case IDCANCEL: EndDialog(dialog, 0); return TRUE;
                default: return FALSE;
            }
        case WM_NOTIFY: {
            const auto* note = reinterpret_cast<const mendlow::NMALPHAIMAGE*>(lParam);
            if (note->hdr.idFrom != IDC_PICTURE) return FALSE;
            switch (note->hdr.code) {
                case mendlow::AIN_CLICK:
                    if (note->button == 0)  // Space or Enter while it has the focus
                        Status(dialog, L"Pressed with the keyboard");
                    else
                        Status(dialog, L"Clicked at " + std::to_wstring(note->x) + L", " + std::to_wstring(note->y));
                    break;
                case mendlow::AIN_FADEEND:
                    Status(dialog, L"Faded to " + std::to_wstring(note->opacity));
                    SetDlgItemTextW(dialog, IDC_FADE, note->opacity > 0 ? L"Fade out" : L"Fade in");
                    SendDlgItemMessageW(dialog, IDC_OPACITY, TBM_SETPOS, TRUE, note->opacity);
                    break;
                default: break;
            }
            return TRUE;
        }
        default: return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    if (!mendlow::RegisterAlphaImageWindowClass(instance)) return 1;
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_EXAMPLE), nullptr, ExampleProc, 0));
}
