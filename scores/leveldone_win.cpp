// The level-complete dialog: a captionless box with a broad flashing border
// that reports the bonus and the next goal. Its rules are in leveldone.cpp.
#include "scores/leveldone_win.h"

#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/leveldone.h"
#include "shell/app.h"
#include "shell/dialogs.h"

const COLORREF aLevelDoneFlashColor[6] = {
    RGB(255, 0, 0),   RGB(0, 0, 255), RGB(255, 0, 255),
    RGB(255, 255, 0), RGB(0, 255, 0), RGB(0, 255, 255),
};

namespace {

const COLORREF kTextBlue = RGB(0, 0, 255);

void LinesShow(HWND hwndDlg, int nFirst, int nLast) {
    for (int i = nFirst; i <= nLast; i++)
        SetDlgItemTextA(hwndDlg, IDC_LD_TITLE + i, levelDone.aszText[i]);
}

void Flash(HWND hwndDlg) {
    HDC hdcWindow = GetDC(hwndDlg);
    if (!hdcWindow) return;
    RECT rc = ZoomDesignClient(hwndDlg);
    // The flashing never reaches inside the black line.
    RECT rcInside = {rc.left + LEVELDONE_BORDER, rc.top + LEVELDONE_BORDER,
                     rc.right - LEVELDONE_BORDER - 1, rc.bottom - LEVELDONE_BORDER - 1};
    const RECT rcExcluded = ZoomToClient(rcInside);
    ExcludeClipRect(hdcWindow, rcExcluded.left, rcExcluded.top, rcExcluded.right,
                    rcExcluded.bottom);
    ZoomCanvas canvas;
    HDC hdc = ZoomCanvasBegin(&canvas, hdcWindow, hwndDlg, rc, NULL);
    LevelDoneFlashDraw(hdc, rc, aLevelDoneFlashColor[LevelDoneFlashStep()]);
    ZoomCanvasEnd(&canvas);
    ReleaseDC(hwndDlg, hdcWindow);
}

void Paint(HWND hwndDlg) {
    PAINTSTRUCT ps;
    HDC hdcPaint = BeginPaint(hwndDlg, &ps);
    RECT rc = ZoomDesignClient(hwndDlg);
    InflateRect(&rc, -LEVELDONE_BORDER, -LEVELDONE_BORDER);
    // Only the inside: the border is the flashing's.
    ZoomCanvas canvas;
    HDC hdc = ZoomCanvasBegin(&canvas, hdcPaint, hwndDlg, rc, NULL);
    DrawSunkenBevel(hdc, rc.left, rc.top, rc.right - 2, rc.bottom - 2, 1);
    ZoomCanvasEnd(&canvas);
    EndPaint(hwndDlg, &ps);
}

void Close(HWND hwndDlg, int nResult) {
    KillTimer(hwndDlg, LEVELDONE_FLASH_TIMER);
    EndDialog(hwndDlg, nResult);
}

} // namespace

int LevelDoneFlashDraw(HDC hdc, RECT rc, COLORREF cr) {
    OnPicture(hdc, [&](Picture* pPic) {
        return LevelDoneFlashDraw(*pPic, PictureRect{rc.left, rc.top, rc.right, rc.bottom},
                                  LEVELDONE_BORDER, PictureColorOf(cr));
    });
    return 1;
}

INT_PTR CALLBACK LevelDoneDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hwndDlg);
        SetDialogFont(hwndDlg);
        LevelDoneOpen();
        LinesShow(hwndDlg, LD_LINE_TITLE, LD_LINE_NEXT);
        SetTimer(hwndDlg, LEVELDONE_FLASH_TIMER, LEVELDONE_FLASH_MS, NULL);
        return TRUE;

    case WM_COMMAND: {
        // Only Continue (or Enter) counts; Escape and the rest are ignored.
        if (LOWORD(wParam) != IDOK) return TRUE;
        int nResult = LevelDoneContinue();
        if (nResult == LEVELDONE_STAY)
            LinesShow(hwndDlg, LD_LINE_NEXTHEAD, LD_LINE_NEXT);
        else
            Close(hwndDlg, nResult);
        return TRUE;
    }

    case WM_TIMER:
        if (wParam != LEVELDONE_FLASH_TIMER) return FALSE;
        Flash(hwndDlg);
        return TRUE;

    case WM_PAINT: Paint(hwndDlg); return TRUE;

    // Inside the border the dialog is light grey like its lines.
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return DialogGreyColour((HDC)wParam, kTextBlue);

    case WM_DESTROY: KillTimer(hwndDlg, LEVELDONE_FLASH_TIMER); return FALSE;
    }
    (void)lParam;
    return FALSE;
}

int ShowLevelDoneDlg(HWND hwndOwner) {
    INT_PTR nResult =
        ZoomDialogBox(DialogInstance(), "LEVELDONEDLG", hwndOwner, LevelDoneDlgProc, 0);
    if (nResult == LEVELDONE_NEXT || nResult == LEVELDONE_GAME_WON) return (int)nResult;
    // No dialog could be shown: the level still ends as if it had been
    // confirmed, so the game never goes on at a level that was not set up.
    LevelDoneOpen();
    do nResult = LevelDoneContinue();
    while (nResult == LEVELDONE_STAY);
    return (int)nResult;
}
