#include "shell/dialogs.h"

#include <cstdint>
#include <cstring>

#include "render/render_win.h"
#include "render/zoom_win.h"
#include "shell/display.h"

HINSTANCE DialogInstance() {
    return hInst ? hInst : GetModuleHandleA(NULL);
}

namespace {

// The width of every printable character and a few more blanks, the texts'
// most common character, in the font selected into hdc.
int SampleWidth(HDC hdc) {
    char sz[128];
    int n = 0;
    for (int c = 32; c < 127; c++) sz[n++] = (char)c;
    for (int i = 0; i < 16; i++) sz[n++] = ' ';
    SIZE size = {0, 0};
    GetTextExtentPoint32A(hdc, sz, n, &size);
    return size.cx;
}

// The metrics of font lf and the width of the sample in it.
TEXTMETRICA FontMeasure(HDC hdc, const LOGFONTA& lf, int* pnSample) {
    HFONT hfont = CreateFontIndirectA(&lf);
    HGDIOBJ hfontOld = SelectObject(hdc, hfont);
    TEXTMETRICA tm = {};
    GetTextMetricsA(hdc, &tm);
    *pnSample = SampleWidth(hdc);
    SelectObject(hdc, hfontOld);
    DeleteObject(hfont);
    return tm;
}

} // namespace

HFONT CreateZoomedFont(const LOGFONTA& lfDesign, int nZoomBy) {
    LOGFONTA lf = lfDesign;
    if (nZoomBy <= 1) return CreateFontIndirectA(&lf);
    lf.lfHeight = ZoomToClient(lfDesign.lfHeight, nZoomBy);
    // A font's lines and characters are whole pixels at every size, so a text
    // nZoomBy times as tall can come out taller or wider than nZoomBy times
    // its size at zoom 1, and no longer fit its control. Such a font is made
    // a little smaller: its lines at most nZoomBy times as tall, its texts at
    // most 97 % of nZoomBy times as wide.
    HDC hdc = CreateCompatibleDC(NULL);
    if (hdc) {
        int nSample1 = 0, nSampleN = 0;
        const TEXTMETRICA tm1 = FontMeasure(hdc, lfDesign, &nSample1);
        TEXTMETRICA tmN = FontMeasure(hdc, lf, &nSampleN);
        for (int nTry = 0; nTry < 8 && tmN.tmHeight > ZoomToClient(tm1.tmHeight, nZoomBy); nTry++) {
            lf.lfHeight += lf.lfHeight < 0 ? 1 : -1;
            tmN = FontMeasure(hdc, lf, &nSampleN);
        }
        const int nRoom = ZoomToClient(nSample1, nZoomBy) * 97 / 100;
        if (nSampleN > nRoom && tmN.tmAveCharWidth > 0)
            lf.lfWidth = tmN.tmAveCharWidth * nRoom / nSampleN;
        DeleteDC(hdc);
    }
    return CreateFontIndirectA(&lf);
}

HFONT CreateAppFont(const char* szFace, int nPoints, int bBold, int bItalic, int nZoomBy) {
    // The pictures are the design's pixels made nZoomBy times larger whatever
    // the screen's dots per inch, so the text is sized the same way.
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(nPoints, ZOOM_DESIGN_DPI, 72);
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (BYTE)(bItalic ? 1 : 0);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = 0;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = 4;
    lstrcpynA(lf.lfFaceName, szFace, LF_FACESIZE);
    return CreateZoomedFont(lf, nZoomBy);
}

int CenterWindow(HWND hwnd) {
    // The work area of the monitor the game is on: its owner's, the main
    // window's, or its own.
    HWND hwndOn = GetWindow(hwnd, GW_OWNER);
    if (!hwndOn) hwndOn = hwndMain ? hwndMain : hwnd;
    RECT rcMonitor, rcWork;
    if (!pfnDisplayMonitorAreas(hwndOn, &rcMonitor, &rcWork))
        SetRect(&rcWork, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int cx = rcWork.left + (rcWork.right - rcWork.left) / 2;
    int cy = rcWork.top + (rcWork.bottom - rcWork.top) / 2;
    RECT rc, rcWindow;
    GetWindowRect(hwnd, &rcWindow);
    if (GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP)
        rc = rcWindow;
    else
        GetClientRect(hwnd, &rc);
    int x = cx + (rc.left - rc.right) / 2;
    int y = cy + (rc.top - rc.bottom) / 2;
    // Inside the work area, its top left corner at least.
    x = DisplayClamp(x, rcWindow.right - rcWindow.left, rcWork.left, rcWork.right);
    y = DisplayClamp(y, rcWindow.bottom - rcWindow.top, rcWork.top, rcWork.bottom);
    return SetWindowPos(hwnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER) != 0;
}

int SetDialogFont(HWND hwndDlg) {
    for (HWND hwndChild = GetWindow(hwndDlg, GW_CHILD); hwndChild;
         hwndChild = GetWindow(hwndChild, GW_HWNDNEXT))
        SendMessageA(hwndChild, WM_SETFONT, (WPARAM)hfontDialog, 1);
    return 1;
}

COLORREF FrameStaticColour(HWND hwnd, WNDPROC pfnOwnProc) {
    COLORREF cr = RGB(0, 0, 0);
    HDC hdcScreen = GetDC(NULL);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    HBITMAP hbm = CreateCompatibleBitmap(hdcScreen, 1, 1);
    ReleaseDC(NULL, hdcScreen);
    if (hdcMem && hbm) {
        HGDIOBJ hbmOld = SelectObject(hdcMem, hbm);
        if (pfnOwnProc)
            CallWindowProcA(pfnOwnProc, hwnd, WM_PRINTCLIENT, (WPARAM)hdcMem, PRF_CLIENT);
        else
            SendMessageA(hwnd, WM_PRINTCLIENT, (WPARAM)hdcMem, PRF_CLIENT);
        cr = GetPixel(hdcMem, 0, 0);
        SelectObject(hdcMem, hbmOld);
    }
    if (hbm) DeleteObject(hbm);
    if (hdcMem) DeleteDC(hdcMem);
    return cr;
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
    *prc = ZoomToDesign(*prc);
    prc->right -= 1;
    return 1;
}

RECT ZoomDesignClient(HWND hwnd) {
    RECT rc = {0, 0, 0, 0};
    GetClientRect(hwnd, &rc);
    return ZoomToDesign(rc);
}

HDC ZoomCanvasBegin(ZoomCanvas* pCanvas, HDC hdcTarget, HWND hwndDlg, RECT rc, HBRUSH hbrFill) {
    *pCanvas = ZoomCanvas{};
    pCanvas->hdcTarget = hdcTarget;
    pCanvas->hwndDlg = hwndDlg;
    if (nZoom == 1 || !hdcTarget) return hdcTarget;
    if (!DesignCanvasMake(&pCanvas->design, hdcTarget, rc,
                          hbrFill ? hbrFill : (HBRUSH)GetStockObject(LTGRAY_BRUSH)))
        return hdcTarget; // drawn unzoomed rather than not at all
    return pCanvas->design.hdc;
}

namespace {

// A control that fills all of its area when it paints (not a frame or a group
// box, which the dialog's drawing shows through).
bool PaintsItsWholeArea(HWND hwnd) {
    char szClass[16] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    const LONG dwStyle = GetWindowLongA(hwnd, GWL_STYLE);
    if (lstrcmpiA(szClass, "Static") == 0) {
        const LONG nType = dwStyle & SS_TYPEMASK;
        return nType <= SS_ICON || nType == SS_SIMPLE || nType == SS_LEFTNOWORDWRAP ||
               nType == SS_BITMAP || nType == SS_OWNERDRAW;
    }
    if (lstrcmpiA(szClass, "Button") == 0) return (dwStyle & BS_TYPEMASK) != BS_GROUPBOX;
    return true;
}

} // namespace

void ZoomCanvasEnd(ZoomCanvas* pCanvas) {
    if (!pCanvas->design.hdc) return;
    HDC hdc = pCanvas->hdcTarget;
    const int nSaved = SaveDC(hdc);
    if (pCanvas->hwndDlg)
        for (HWND hwnd = GetWindow(pCanvas->hwndDlg, GW_CHILD); hwnd;
             hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
            if (!IsWindowVisible(hwnd) || !PaintsItsWholeArea(hwnd)) continue;
            RECT rc;
            GetWindowRect(hwnd, &rc);
            MapWindowPoints(NULL, pCanvas->hwndDlg, (POINT*)&rc, 2);
            ExcludeClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
        }
    DesignCanvasCopy(pCanvas->design, pCanvas->design.rc, hdc, POINT{0, 0}, nZoom);
    RestoreDC(hdc, nSaved);
    DesignCanvasFree(&pCanvas->design);
    *pCanvas = ZoomCanvas{};
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

// --- The controls at the zoom ---------------------------------------------------
// At zoom 1 on a screen of 96 dots per inch a dialog is the platform's own
// rendering of its template. Anywhere else every control is placed at nZoom
// times the pixels it has there, and the statics that show pictures (icons,
// bitmaps, black frames) draw them at design size, nZoom times larger.

enum { DESIGN_ICON = 32 }; // the size of an icon on a screen of 96 dots per inch

const char kPropDlgProc[] = "Quarrion.ZoomDlgProc";
const char kPropOldProc[] = "Quarrion.ZoomOldProc";
const char kPropIcon[] = "Quarrion.ZoomIcon";
const char kPropFont[] = "Quarrion.ZoomFont";
const char kPropGroup[] = "Quarrion.ZoomGroup";

// The average character of the template's font at zoom 1 on a screen of 96
// dots per inch, measured as the platform's dialog manager measures it.
SIZE DesignBaseUnits(const DialogUnits& units) {
    SIZE base = {0, 0};
    HDC hdc = GetDC(NULL);
    HFONT hfont = CreateFontA(-MulDiv(units.nPoints, ZOOM_DESIGN_DPI, 72), 0, 0, 0, units.nWeight,
                              (DWORD)units.bItalic, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY,
                              FF_DONTCARE, units.szFace);
    if (hdc && hfont) {
        static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        HGDIOBJ hfontOld = SelectObject(hdc, hfont);
        TEXTMETRICA tm;
        SIZE size;
        if (GetTextMetricsA(hdc, &tm) && GetTextExtentPoint32A(hdc, kAlphabet, 52, &size))
            base = SIZE{(size.cx / 26 + 1) / 2, tm.tmHeight};
        SelectObject(hdc, hfontOld);
    }
    if (hfont) DeleteObject(hfont);
    if (hdc) ReleaseDC(NULL, hdc);
    return base;
}

// A picture static's painting: the picture at design size on the colour the
// dialog gives its statics, nZoom times larger.
void PicturePaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const LONG nType = GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK;
    if (nType == SS_BLACKFRAME) {
        // The platform's one-pixel frame, in its colour, nZoom pixels thick.
        HBRUSH hbr =
            CreateSolidBrush(FrameStaticColour(hwnd, (WNDPROC)GetPropA(hwnd, kPropOldProc)));
        for (int i = 0; i < ZoomToClient(1); i++) {
            FrameRect(hdc, &rc, hbr);
            InflateRect(&rc, -1, -1);
        }
        DeleteObject(hbr);
        EndPaint(hwnd, &ps);
        return;
    }
    ZoomCanvas canvas;
    HDC hdcDesign = ZoomCanvasBegin(&canvas, hdc, NULL, ZoomDesignClient(hwnd), NULL);
    HBRUSH hbr =
        (HBRUSH)SendMessageA(GetParent(hwnd), WM_CTLCOLORSTATIC, (WPARAM)hdcDesign, (LPARAM)hwnd);
    RECT rcDesign = ZoomDesignClient(hwnd);
    FillRect(hdcDesign, &rcDesign, hbr ? hbr : GetSysColorBrush(COLOR_3DFACE));
    if (nType == SS_ICON) {
        HICON hIcon = (HICON)GetPropA(hwnd, kPropIcon);
        if (hIcon) DrawIconEx(hdcDesign, 0, 0, hIcon, DESIGN_ICON, DESIGN_ICON, 0, NULL, DI_NORMAL);
    } else {
        HBITMAP hbm = (HBITMAP)SendMessageA(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0);
        if (hbm) DrawBitmap(hdcDesign, hbm, 0, 0);
    }
    ZoomCanvasEnd(&canvas);
    EndPaint(hwnd, &ps);
}

// A group box without a title: its etched frame at design size, nZoom times
// larger. Only the frame's two pixels are copied; the inside stays as the
// dialog drew it.
void GroupPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    // Where the frame starts: half a line of the font at zoom 1 down.
    TEXTMETRICA tm = {};
    HGDIOBJ hfontOld = SelectObject(hdc, (HFONT)SendMessageA(hwnd, WM_GETFONT, 0, 0));
    GetTextMetricsA(hdc, &tm);
    SelectObject(hdc, hfontOld);
    RECT rc = ZoomDesignClient(hwnd);
    // (the font's height in design pixels, rounded up)
    rc.top += (ZoomToDesign(tm.tmHeight - 1) + 1) / 2 - 1;
    DesignCanvas canvas; // black as a new bitmap: only the frame drawn on it is copied
    if (DesignCanvasMake(&canvas, hdc, RECT{0, 0, rc.right, rc.bottom},
                         (HBRUSH)GetStockObject(BLACK_BRUSH))) {
        DrawEdge(canvas.hdc, &rc, EDGE_ETCHED, BF_RECT);
        const int e = 2; // the etched edge's width
        const RECT aStrip[4] = {{rc.left, rc.top, rc.right, rc.top + e},
                                {rc.left, rc.bottom - e, rc.right, rc.bottom},
                                {rc.left, rc.top, rc.left + e, rc.bottom},
                                {rc.right - e, rc.top, rc.right, rc.bottom}};
        for (const RECT& r : aStrip) DesignCanvasCopy(canvas, r, hdc, POINT{0, 0}, nZoom);
        DesignCanvasFree(&canvas);
    }
    EndPaint(hwnd, &ps);
}

// The control's own procedure back and what the zoom gave it freed.
void PictureRelease(HWND hwnd, WNDPROC pfnOld) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)pfnOld);
    RemovePropA(hwnd, kPropOldProc);
    RemovePropA(hwnd, kPropGroup);
    if (HICON hIcon = (HICON)RemovePropA(hwnd, kPropIcon)) DestroyIcon(hIcon);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnOld = (WNDPROC)GetPropA(hwnd, kPropOldProc);
    switch (uMsg) {
    case WM_PAINT:
        if (GetPropA(hwnd, kPropGroup))
            GroupPaint(hwnd);
        else
            PicturePaint(hwnd);
        return 0;
    case WM_ERASEBKGND: return 1; // the painting covers it all
    case WM_NCDESTROY: PictureRelease(hwnd, pfnOld); break;
    default: break;
    }
    return CallWindowProcA(pfnOld, hwnd, uMsg, wParam, lParam);
}

// Places control hwnd (template item item) at nZoom times its design
// rectangle; the statics that show pictures draw them zoomed from now on.
void ControlZoom(HWND hwnd, const DialogItemUnits& item, SIZE base) {
    int x = DialogUnitsToPixels(item.x, base.cx, 4), y = DialogUnitsToPixels(item.y, base.cy, 8);
    int cx = DialogUnitsToPixels(item.cx, base.cx, 4),
        cy = DialogUnitsToPixels(item.cy, base.cy, 8);
    char szClass[16] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    const LONG nType = GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK;
    const bool bStatic = lstrcmpiA(szClass, "Static") == 0;
    const bool bGroup = lstrcmpiA(szClass, "Button") == 0 &&
                        (GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
                        GetWindowTextLengthA(hwnd) == 0;
    const bool bPicture =
        bGroup || (bStatic && (nType == SS_ICON || nType == SS_BITMAP || nType == SS_BLACKFRAME));
    // An icon or a bitmap sizes its static to itself.
    if (bStatic && nType == SS_ICON) {
        HINSTANCE hInstance = (HINSTANCE)GetWindowLongPtrA(hwnd, GWLP_HINSTANCE);
        HICON hIcon = item.szText[0] ? (HICON)LoadImageA(hInstance, item.szText, IMAGE_ICON,
                                                         DESIGN_ICON, DESIGN_ICON, 0)
                                     : NULL;
        if (hIcon) SetPropA(hwnd, kPropIcon, hIcon);
        cx = cy = DESIGN_ICON;
    } else if (bStatic && nType == SS_BITMAP) {
        BITMAP bm;
        HBITMAP hbm = (HBITMAP)SendMessageA(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0);
        if (hbm && GetObjectA(hbm, sizeof bm, &bm)) {
            cx = bm.bmWidth;
            cy = bm.bmHeight;
        }
    }
    MoveWindow(hwnd, ZoomToClient(x), ZoomToClient(y), ZoomToClient(cx), ZoomToClient(cy), FALSE);
    if (bGroup) SetPropA(hwnd, kPropGroup, (HANDLE)1);
    if (bPicture && !GetPropA(hwnd, kPropOldProc)) {
        SetPropA(hwnd, kPropOldProc, (HANDLE)GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)PictureProc);
    }
}

// The dialog and each of its controls at nZoom times their design size.
void DialogZoom(HWND hwndDlg, const uint8_t* pTemplate, size_t cbTemplate) {
    static DialogUnits units; // needed only while a dialog initialises
    if (!DialogTemplateUnits(pTemplate, cbTemplate, &units)) return;
    const SIZE base = DesignBaseUnits(units);
    if (base.cx <= 0 || base.cy <= 0) return;
    // The template's font at the zoom, as wide as the zoom allows.
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(units.nPoints, ZOOM_DESIGN_DPI, 72);
    lf.lfWeight = units.nWeight;
    lf.lfItalic = (BYTE)units.bItalic;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = PROOF_QUALITY;
    lstrcpynA(lf.lfFaceName, units.szFace, LF_FACESIZE);
    HFONT hfont = CreateZoomedFont(lf, nZoom);
    if (hfont) SetPropA(hwndDlg, kPropFont, hfont);
    int i = 0;
    for (HWND hwnd = GetWindow(hwndDlg, GW_CHILD); hwnd && i < units.nItems;
         hwnd = GetWindow(hwnd, GW_HWNDNEXT), i++) {
        if (hfont) SendMessageA(hwnd, WM_SETFONT, (WPARAM)hfont, FALSE);
        ControlZoom(hwnd, units.aItem[i], base);
    }
    RECT rc = ZoomToClient(RECT{0, 0, DialogUnitsToPixels(units.cx, base.cx, 4),
                                DialogUnitsToPixels(units.cy, base.cy, 8)});
    AdjustWindowRectEx(&rc, (DWORD)GetWindowLongA(hwndDlg, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(hwndDlg, GWL_EXSTYLE));
    SetWindowPos(hwndDlg, NULL, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// What ZoomDialogProc needs to start a dialog.
struct DialogStart {
    DLGPROC pfnProc;
    LPARAM lParam;
    const uint8_t* pTemplate;
    size_t cbTemplate;
};

// Stands before the game's dialog procedure: places the controls at the zoom
// before it initialises the dialog, then hands every message on.
// The dialog's procedure from now on; the controls placed at the zoom before
// it initialises the dialog.
INT_PTR ZoomDialogInit(HWND hwndDlg, WPARAM wParam, const DialogStart* pStart) {
    SetPropA(hwndDlg, kPropDlgProc, (HANDLE)pStart->pfnProc);
    DialogZoom(hwndDlg, pStart->pTemplate, pStart->cbTemplate);
    // The dialog keeps the size it was given should it move to a screen of
    // other dots per inch (Windows 10 and later would rescale it).
    typedef BOOL(WINAPI * DpiChangeBehaviorProc)(HWND, int, int);
    static DpiChangeBehaviorProc pfnSetBehavior = (DpiChangeBehaviorProc)(void (*)())GetProcAddress(
        GetModuleHandleA("user32.dll"), "SetDialogDpiChangeBehavior");
    const int DDC_DISABLE_ALL_BITS = 0x0001;
    if (pfnSetBehavior) pfnSetBehavior(hwndDlg, DDC_DISABLE_ALL_BITS, DDC_DISABLE_ALL_BITS);
    return pStart->pfnProc(hwndDlg, WM_INITDIALOG, wParam, pStart->lParam);
}

// What the zoom gave the dialog, given back as it goes.
void ZoomDialogRelease(HWND hwndDlg) {
    RemovePropA(hwndDlg, kPropDlgProc);
    if (HFONT hfont = (HFONT)RemovePropA(hwndDlg, kPropFont)) DeleteObject(hfont);
}

// Stands before the game's dialog procedure and hands every message on.
INT_PTR CALLBACK ZoomDialogProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_INITDIALOG) return ZoomDialogInit(hwndDlg, wParam, (const DialogStart*)lParam);
    DLGPROC pfnProc = (DLGPROC)GetPropA(hwndDlg, kPropDlgProc);
    if (!pfnProc) return FALSE;
    INT_PTR nResult = pfnProc(hwndDlg, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) ZoomDialogRelease(hwndDlg);
    return nResult;
}

// A copy of the template in pCopy with its font sized for the zoom; NULL
// when the template cannot be found or sets no font of its own.
// The template as designed goes to *ppDesign and its size to *pcb.
const DLGTEMPLATE* ZoomTemplate(HINSTANCE hInstance, const char* szTemplate, HWND hwndOwner,
                                uint8_t* pCopy, const uint8_t** ppDesign, size_t* pcb) {
    HRSRC hRes = FindResourceA(hInstance, szTemplate, (LPCSTR)RT_DIALOG);
    HGLOBAL hData = hRes ? LoadResource(hInstance, hRes) : NULL;
    const uint8_t* pData = hData ? (const uint8_t*)LockResource(hData) : NULL;
    DWORD cb = hRes ? SizeofResource(hInstance, hRes) : 0;
    if (!pData || cb == 0 || cb > MAX_TEMPLATE_BYTES) return NULL;
    long nOffset = DialogTemplateFontOffset(pData, cb);
    if (nOffset < 0) return NULL;
    memcpy(pCopy, pData, cb);
    *ppDesign = pData;
    *pcb = cb;
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
    const uint8_t* pDesign = NULL;
    size_t cb = 0;
    const DLGTEMPLATE* pTemplate =
        ZoomTemplate(hInstance, szTemplate, hwndOwner, aCopy, &pDesign, &cb);
    if (!pTemplate) return DialogBoxParamA(hInstance, szTemplate, hwndOwner, pfnProc, lParam);
    if (nZoom == 1 && WindowDpi(hwndOwner) == ZOOM_DESIGN_DPI)
        return DialogBoxIndirectParamA(hInstance, pTemplate, hwndOwner, pfnProc, lParam);
    DialogStart start = {pfnProc, lParam, pDesign, cb};
    return DialogBoxIndirectParamA(hInstance, pTemplate, hwndOwner, ZoomDialogProc, (LPARAM)&start);
}
