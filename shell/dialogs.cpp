#include "shell/dialogs.h"

#include <cstdint>
#include <cstring>

#include "render/zoom_win.h"

HINSTANCE DialogInstance() {
    return hInst ? hInst : GetModuleHandleA(NULL);
}

HFONT CreateAppFont(const char* szFace, int nPoints, int bBold, int bItalic) {
    // The pictures are the design's pixels made nZoom times larger whatever
    // the screen's dots per inch, so the text is sized the same way.
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(nPoints, ZOOM_DESIGN_DPI, 72) * nZoom;
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

int WindowDpi(HWND hwnd) {
    typedef UINT(WINAPI * GetDpiForWindowProc)(HWND);
    static GetDpiForWindowProc pfnGetDpiForWindow = (GetDpiForWindowProc)(void (*)())GetProcAddress(
        GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    if (hwnd && pfnGetDpiForWindow) {
        UINT uDpi = pfnGetDpiForWindow(hwnd);
        if (uDpi) return (int)uDpi;
    }
    HDC hdcScreen = GetDC(NULL);
    int nDpi = GetDeviceCaps(hdcScreen, LOGPIXELSY);
    ReleaseDC(NULL, hdcScreen);
    return nDpi > 0 ? nDpi : ZOOM_DESIGN_DPI;
}

namespace {

enum { MAX_TEMPLATE_BYTES = 8192 };

// A copy of the template in pCopy with its font sized for the zoom; NULL
// when the template cannot be found or sets no font of its own.
const DLGTEMPLATE* ZoomTemplate(HINSTANCE hInstance, const char* szTemplate, HWND hwndOwner,
                                uint8_t* pCopy) {
    HRSRC hRes = FindResourceA(hInstance, szTemplate, (LPCSTR)RT_DIALOG);
    HGLOBAL hData = hRes ? LoadResource(hInstance, hRes) : NULL;
    const uint8_t* pData = hData ? (const uint8_t*)LockResource(hData) : NULL;
    DWORD cb = hRes ? SizeofResource(hInstance, hRes) : 0;
    if (!pData || cb == 0 || cb > MAX_TEMPLATE_BYTES) return NULL;
    long nOffset = DialogTemplateFontOffset(pData, cb);
    if (nOffset < 0) return NULL;
    memcpy(pCopy, pData, cb);
    int nPoints = pCopy[nOffset] | pCopy[nOffset + 1] << 8;
    int nScaled = ZoomDialogPoints(nPoints, nZoom, WindowDpi(hwndOwner));
    pCopy[nOffset] = (uint8_t)(nScaled & 0xFF);
    pCopy[nOffset + 1] = (uint8_t)(nScaled >> 8);
    return (const DLGTEMPLATE*)pCopy;
}

} // namespace

INT_PTR ZoomDialogBox(HINSTANCE hInstance, const char* szTemplate, HWND hwndOwner, DLGPROC pfnProc,
                      LPARAM lParam) {
    // DWORD-aligned, as the platform wants its templates.
    alignas(4) uint8_t aCopy[MAX_TEMPLATE_BYTES];
    const DLGTEMPLATE* pTemplate = ZoomTemplate(hInstance, szTemplate, hwndOwner, aCopy);
    if (!pTemplate) return DialogBoxParamA(hInstance, szTemplate, hwndOwner, pfnProc, lParam);
    return DialogBoxIndirectParamA(hInstance, pTemplate, hwndOwner, pfnProc, lParam);
}

HWND ZoomCreateDialog(HINSTANCE hInstance, const char* szTemplate, HWND hwndOwner, DLGPROC pfnProc,
                      LPARAM lParam) {
    alignas(4) uint8_t aCopy[MAX_TEMPLATE_BYTES];
    const DLGTEMPLATE* pTemplate = ZoomTemplate(hInstance, szTemplate, hwndOwner, aCopy);
    if (!pTemplate) return CreateDialogParamA(hInstance, szTemplate, hwndOwner, pfnProc, lParam);
    return CreateDialogIndirectParamA(hInstance, pTemplate, hwndOwner, pfnProc, lParam);
}
