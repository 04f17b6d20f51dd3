// The high-score dialog: the ten rows, the alternating last/best line, two
// tiles spinning beside the heading, and clearing from the right-click menu.
#include <windows.h>

#include <cstdio>

#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/scores_win.h"
#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

// The spinning tiles of the open dialog.
SpinTile aSpin[2];
int nSpinY;

void FillRows(HWND hDlg) {
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        char szScore[16], szLevel[16];
        HighScoreRowTexts(k, szScore, sizeof szScore, szLevel, sizeof szLevel);
        const int nBase = IDC_HS_RANK + IDC_HS_ROWSTEP * k;
        SetDlgItemTextA(hDlg, nBase + 1, hsTable.aRow[k].szName);
        SetDlgItemTextA(hDlg, nBase + 2, szScore);
        SetDlgItemTextA(hDlg, nBase + 3, szLevel);
    }
}

void ShowTopLine(HWND hDlg) {
    char sz[HS_TOPLINE_LEN];
    HighScoreTopLine(sz, sizeof sz);
    SetDlgItemTextA(hDlg, IDC_HS_TOPLINE, sz);
}

void SpinTick(HWND hDlg) {
    HDC hdc = GetDC(hDlg);
    for (SpinTile& t : aSpin) {
        if (hdc)
            DrawBitmapZoomed(hdc, TileFrameBitmap(t.nColor, t.nFrame), ZoomToClient(t.x),
                             ZoomToClient(nSpinY), nZoom);
        SpinTileStep(&t);
    }
    if (hdc) ReleaseDC(hDlg, hdc);
    if (HighScoreTopLineTick()) ShowTopLine(hDlg);
}

void ShowPopup(HWND hDlg) {
    HMENU hMenu = CreatePopupMenu();
    if (!hMenu) return;
    AppendMenuA(hMenu, MF_STRING, IDM_CLEARSCORES, "&Clear High Scores");
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(hMenu, MF_STRING, IDCANCEL, "&Close\tAlt+F4");
    POINT pt;
    GetCursorPos(&pt);
    TrackPopupMenu(hMenu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hDlg, NULL);
    DestroyMenu(hMenu);
}

void PaintFrames(HWND hDlg) {
    PAINTSTRUCT ps;
    HDC hdcPaint = BeginPaint(hDlg, &ps);
    ZoomCanvas canvas;
    HDC hdc = ZoomCanvasBegin(&canvas, hdcPaint, hDlg, ZoomDesignClient(hDlg), NULL);
    for (int nId = IDC_HS_HEADFRAME; nId <= IDC_HS_ROWFRAME + NUM_HIGH_SCORES - 1; nId++) {
        RECT rc;
        if (FrameControlRect(hDlg, nId, &rc)) DrawExtrudedFrame(hdc, rc, 5, 1);
    }
    ZoomCanvasEnd(&canvas);
    EndPaint(hDlg, &ps);
}

} // namespace

INT_PTR CALLBACK HiScoreDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG: {
        CenterWindow(hDlg);
        SetDialogFont(hDlg);
        SetDlgItemTextA(hDlg, IDC_HS_HEADING, "TOP TEN HIGH SCORES");
        FillRows(hDlg);
        ShowTopLine(hDlg);
        SetFocus(hDlg);
        RECT rc = ZoomDesignClient(hDlg);
        SpinTilesStart(aSpin, rc.left, rc.right, rc.top, &nSpinY);
        ScoresPlaySound("APPLAUSE");
        SetTimer(hDlg, HISCORE_TIMER, HISCORE_TIMER_MS, NULL);
        return FALSE; // the focus is set
    }
    case WM_TIMER:
        if (wParam != HISCORE_TIMER) return FALSE;
        SpinTick(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: EndDialog(hDlg, 1); return TRUE;
        case IDM_CLEARSCORES:
            if (ClearHighScores(hDlg)) FillRows(hDlg);
            return TRUE;
        }
        return FALSE;
    case WM_LBUTTONDOWN: EndDialog(hDlg, 1); return TRUE;
    case WM_RBUTTONDOWN: ShowPopup(hDlg); return TRUE;
    case WM_PAINT: PaintFrames(hDlg); return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
        HDC hdc = (HDC)wParam;
        int nId = uMsg == WM_CTLCOLORSTATIC ? GetDlgCtrlID((HWND)lParam) : 0;
        COLORREF crText = RGB(0, 0, 255);
        if (nId == IDC_HS_HEADING)
            crText = RGB(255, 0, 0);
        else if (nId == IDC_HS_TOPLINE)
            crText = RGB(0, 127, 0);
        else if (nId >= IDC_HS_NAMETITLE && nId <= IDC_HS_LEVELTITLE)
            crText = RGB(0, 0, 0);
        return DialogGreyColour(hdc, crText);
    }
    }
    return FALSE;
}

int ShowHiScoreDlg(HWND hwndOwner) {
    return (int)ZoomDialogBox(DialogInstance(), "HISCOREDLG", hwndOwner, HiScoreDlgProc, 0);
}
