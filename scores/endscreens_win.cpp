// The two screens that end a game: the game-over banner with its falling row
// of tiles, and the ending picture that takes a winner's name.
#include <windows.h>

#include "engine/game.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/scores_win.h"
#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

GameOverRow gameOverRow;
int bEnterName;

// Gives a dialog the client size its picture needs at the zoom, keeping its
// frame.
void SizeClient(HWND hDlg, int cx, int cy) {
    RECT rc = ZoomToClient(RECT{0, 0, cx, cy});
    AdjustWindowRectEx(&rc, (DWORD)GetWindowLongA(hDlg, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(hDlg, GWL_EXSTYLE));
    SetWindowPos(hDlg, NULL, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DrawGameOverRow(HWND hDlg) {
    HDC hdc = GetDC(hDlg);
    if (!hdc) return;
    for (int i = 0; i < GAMEOVER_ROW_TILES; i++)
        DrawBitmapZoomed(hdc, TileFrameBitmap(GameOverTileColor(i), gameOverRow.nFrame),
                         ZoomToClient(GameOverTileX(i)), ZoomToClient(gameOverRow.y), nZoom);
    ReleaseDC(hDlg, hdc);
}

void PaintGameOver(HWND hDlg) {
    PAINTSTRUCT ps;
    HDC hdcPaint = BeginPaint(hDlg, &ps);
    HBITMAP hbm = LoadGameBitmap("GAMEOVER");
    if (hbm) {
        RECT rc = ZoomDesignClient(hDlg);
        ZoomCanvas canvas;
        HDC hdc = ZoomCanvasBegin(&canvas, hdcPaint, hDlg, rc, NULL);
        DrawBitmapCentered(hdc, hbm, rc.left, rc.top, rc.right, rc.bottom);
        ZoomCanvasEnd(&canvas);
        DeleteObject(hbm);
    }
    EndPaint(hDlg, &ps);
}

void PaintEnding(HWND hDlg) {
    PAINTSTRUCT ps;
    HDC hdcPaint = BeginPaint(hDlg, &ps);
    ZoomCanvas canvas;
    HDC hdc = ZoomCanvasBegin(&canvas, hdcPaint, hDlg, ZoomDesignClient(hDlg), NULL);
    OnPicture(hdc, [](Picture* pPic) {
        return PictureRectangle(pPic, PictureRect{0, 0, SCREEN_W + 1, SCREEN_H + 1}, nullptr,
                                &kPicLightGrey);
    });
    HBITMAP hbm = LoadGameBitmap(bEnterName ? "ENDING" : "ENDING2");
    if (hbm) {
        DrawBitmap(hdc, hbm, WINGAME_PICTURE_X, WINGAME_PICTURE_Y);
        DeleteObject(hbm);
    }
    ZoomCanvasEnd(&canvas);
    EndPaint(hDlg, &ps);
}

} // namespace

INT_PTR CALLBACK GameOverDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    switch (uMsg) {
    case WM_INITDIALOG:
        SizeClient(hDlg, GAMEOVER_CLIENT_W, GAMEOVER_CLIENT_H);
        CenterWindow(hDlg);
        SetTimer(hDlg, GAMEOVER_START_TIMER, GAMEOVER_START_MS, NULL);
        GameOverRowStart(&gameOverRow);
        return TRUE;
    case WM_TIMER:
        if (wParam == GAMEOVER_START_TIMER) {
            // The banner stands alone for the first second.
            KillTimer(hDlg, GAMEOVER_START_TIMER);
            SetTimer(hDlg, GAMEOVER_ROW_TIMER, GAMEOVER_ROW_MS, NULL);
        } else if (wParam == GAMEOVER_ROW_TIMER) {
            DrawGameOverRow(hDlg);
            if (GameOverRowStep(&gameOverRow)) SendMessageA(hDlg, WM_CLOSE, 0, 0);
        }
        return TRUE;
    case WM_CLOSE:
        KillTimer(hDlg, GAMEOVER_ROW_TIMER);
        KillTimer(hDlg, GAMEOVER_START_TIMER);
        EndDialog(hDlg, 1);
        return TRUE;
    case WM_COMMAND: // Enter and Escape are taken and ignored
        return TRUE;
    case WM_PAINT: PaintGameOver(hDlg); return TRUE;
    case WM_CTLCOLORDLG:
        // The light grey the tiles carry in their margins.
        return DialogGreyColour((HDC)wParam, RGB(0, 0, 0));
    }
    return FALSE;
}

INT_PTR CALLBACK WinGameDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    switch (uMsg) {
    case WM_INITDIALOG:
        SizeClient(hDlg, WINGAME_CLIENT_W, WINGAME_CLIENT_H);
        CenterWindow(hDlg);
        bEnterName = HighScoreQualifies((int32_t)game.lScore);
        if (bEnterName) {
            SendDlgItemMessageA(hDlg, IDC_WIN_NAME, EM_LIMITTEXT, HS_WIN_NAME_LIMIT, 0);
            return TRUE; // the focus goes to the name field
        }
        ShowWindow(GetDlgItem(hDlg, IDC_WIN_NAME), SW_HIDE);
        SetFocus(hDlg);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK) return TRUE; // Escape and the rest are ignored
        if (bEnterName) {
            char szName[HS_WIN_NAME_LEN];
            if (!ReadPlayerName(hDlg, IDC_WIN_NAME, szName, sizeof szName)) {
                ScoresBeep(-1);
                return TRUE;
            }
            InsertHighScore(szName, (int32_t)game.lScore, HS_WON_LEVEL);
            SaveHighScores();
        }
        EndDialog(hDlg, 1);
        if (HWND hwndOwner = GetParent(hDlg)) {
            InvalidateRect(hwndOwner, NULL, TRUE);
            UpdateWindow(hwndOwner);
        }
        return TRUE;
    case WM_PAINT: PaintEnding(hDlg); return TRUE;
    case WM_CTLCOLORDLG: return DialogGreyColour((HDC)wParam, RGB(0, 0, 0));
    }
    return FALSE;
}

int ShowGameOverDlg(HWND hwndOwner) {
    return (int)ZoomDialogBox(DialogInstance(), "GAMEOVERDLG", hwndOwner, GameOverDlgProc, 0);
}

int ShowWinGameDlg(HWND hwndOwner) {
    return (int)ZoomDialogBox(DialogInstance(), "WINGAMEDLG", hwndOwner, WinGameDlgProc, 0);
}
