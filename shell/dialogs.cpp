#include "shell/dialogs.h"

HINSTANCE DialogInstance() {
    return hInst ? hInst : GetModuleHandleA(NULL);
}

HFONT CreateAppFont(const char* szFace, int nPoints, int bBold, int bItalic) {
    HDC hdcScreen = GetDC(NULL);
    int nPixelsY = GetDeviceCaps(hdcScreen, LOGPIXELSY);
    ReleaseDC(NULL, hdcScreen);

    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(nPoints, nPixelsY, 72);
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (BYTE)(bItalic ? 1 : 0);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = 0;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = 4;
    lstrcpynA(lf.lfFaceName, szFace, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

int CenterWindow(HWND hwnd) {
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    int cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    RECT rc;
    if (GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP)
        GetWindowRect(hwnd, &rc);
    else
        GetClientRect(hwnd, &rc);
    int x = cx + (rc.left - rc.right) / 2;
    int y = cy + (rc.top - rc.bottom) / 2;
    return SetWindowPos(hwnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER) != 0;
}

int SetDialogFont(HWND hwndDlg) {
    for (HWND hwndChild = GetWindow(hwndDlg, GW_CHILD); hwndChild;
         hwndChild = GetWindow(hwndChild, GW_HWNDNEXT))
        SendMessageA(hwndChild, WM_SETFONT, (WPARAM)hfontDialog, 1);
    return 1;
}

INT_PTR DialogGreyColour(HDC hdc, COLORREF crText) {
    SetBkColor(hdc, DIALOG_GREY);
    SetBkMode(hdc, OPAQUE);
    SetTextColor(hdc, crText);
    return (INT_PTR)GetStockObject(LTGRAY_BRUSH);
}

int FrameControlRect(HWND hwndDlg, int nId, RECT* prc) {
    HWND hwndControl = GetDlgItem(hwndDlg, nId);
    if (!hwndControl) return 0;
    GetClientRect(hwndControl, prc);
    MapWindowPoints(hwndControl, hwndDlg, (POINT*)prc, 2);
    prc->right -= 1;
    return 1;
}

int ShowCloseMenu(HWND hwndOwner) {
    HMENU hMenu = CreatePopupMenu();
    if (!hMenu) return 0;
    AppendMenuA(hMenu, MF_STRING, IDCANCEL, "&Close\tAlt+F4");
    POINT pt;
    GetCursorPos(&pt);
    TrackPopupMenu(hMenu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwndOwner, NULL);
    DestroyMenu(hMenu);
    return 1;
}
