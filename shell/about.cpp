// The About box.
#include "shell/about.h"

#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

const COLORREF kAboutBlue = RGB(0, 0, 255);

} // namespace

INT_PTR CALLBACK AboutDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hwndDlg);
        SetDialogFont(hwndDlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hwndDlg, 1);
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return DialogGreyColour((HDC)wParam, kAboutBlue);
    case WM_RBUTTONDOWN:
        // "&Close\tAlt+F4" at the cursor; choosing it sends IDCANCEL.
        ShowCloseMenu(hwndDlg);
        return TRUE;
    default: return FALSE;
    }
}

int ShowAboutDlg(HWND hwndOwner) {
    return (int)ZoomDialogBox(DialogInstance(), "ABOUTDLG", hwndOwner, AboutDlgProc, 0);
}
