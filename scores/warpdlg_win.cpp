// The level warp dialog: a code field, OK and Cancel. What a code does is
// decided by WarpOkAction (warpdlg.cpp).
#include "scores/warpdlg_win.h"

#include "engine/game.h"
#include "engine/warp.h"
#include "resources/resource.h"
#include "scores/scores_win.h"
#include "scores/warpdlg.h"
#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

void Paint(HWND hwndDlg) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwndDlg, &ps);
    RECT rc;
    GetWindowRect(hwndDlg, &rc);
    // The whole dialog in light grey; the null pen leaves no outline.
    HGDIOBJ hbrOld = SelectObject(hdc, GetStockObject(LTGRAY_BRUSH));
    HGDIOBJ hpenOld = SelectObject(hdc, GetStockObject(NULL_PEN));
    Rectangle(hdc, 0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1);
    SelectObject(hdc, hpenOld);
    SelectObject(hdc, hbrOld);
    EndPaint(hwndDlg, &ps);
    SetFocus(GetDlgItem(hwndDlg, IDC_WARP_CODE));
}

void Ok(HWND hwndDlg) {
    char szCode[WARP_SLOT_LEN] = "";
    GetDlgItemTextA(hwndDlg, IDC_WARP_CODE, szCode, WARP_SLOT_LEN);
    int nLevel = 0;
    switch (WarpOkAction(szCode, game.nLevel, &nLevel)) {
    case WARP_OK_GO:
        game.nLevel = nLevel;
        EndDialog(hwndDlg, 1);
        break;
    case WARP_OK_BEEP: ScoresBeep(-1); break;
    default: break; // no password: stay open, silently
    }
}

} // namespace

INT_PTR CALLBACK WarpDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (uMsg) {
    case WM_INITDIALOG: CenterWindow(hwndDlg); return TRUE;

    case WM_PAINT: Paint(hwndDlg); return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Ok(hwndDlg); return TRUE;
        case IDCANCEL: EndDialog(hwndDlg, 2); return TRUE;
        }
        return FALSE;

    case WM_RBUTTONDOWN: ShowCloseMenu(hwndDlg); return TRUE;

    // The label and the icons on the dialog's grey.
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return DialogGreyColour((HDC)wParam, RGB(0, 0, 0));
    }
    return FALSE;
}

int ShowWarpDlg(HWND hwndOwner) {
    if (ZoomDialogBox(DialogInstance(), "WARPDLG", hwndOwner, WarpDlgProc, 0) != 1) return 0;
    ScoresPlaySound("WARP");
    return 1;
}
