// The side panel's window: its paint, its colours and its four messages.
#include "scores/panel_win.h"

#include <initializer_list>

#include "engine/game.h"
#include "render/goal.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/panel.h"
#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

const COLORREF kPanelGrey = RGB(192, 192, 192);
const COLORREF kPanelWhite = RGB(255, 255, 255);
const COLORREF kScoreRed = RGB(255, 0, 0);
const COLORREF kLevelBlue = RGB(0, 0, 255);
const COLORREF kGoalGreen = RGB(0, 127, 0);

enum {
    LIFE_X = 18, // the first life icon; each next one 25 pixels on
    LIFE_STEP = 25,
    LIFE_Y = 255,
    LIFE_W = 16, // the white block that wipes a lost life's icon
    LIFE_H = 11,
    TITLE_X = 9,
    TITLE_Y = 13,
    FRAME_DEPTH = 5,
};

// Where the controls lie in the panel's client area, so that they fit the
// fixed pixels of the paint whatever the dialog font's units come to.
struct ControlPlace {
    int nId; // IDC_STATIC for the outline of the lives box
    RECT rc;
};
const ControlPlace kPlaces[] = {
    {IDC_PANEL_TITLEFRAME, {9, 12, 210, 106}},  {IDC_PANEL_LEVEL, {14, 137, 203, 156}},
    {IDC_PANEL_LEVELFRAME, {9, 125, 210, 165}}, {IDC_PANEL_SCORE, {14, 191, 203, 210}},
    {IDC_PANEL_SCOREFRAME, {9, 180, 210, 220}}, {IDC_STATIC, {14, 248, 203, 267}},
    {IDC_PANEL_LIVESFRAME, {9, 236, 210, 277}}, {IDC_PANEL_GOAL, {14, 376, 203, 395}},
    {IDC_PANEL_GOALFRAME, {9, 364, 210, 404}},
};

// The black frames are plain frame statics; their lines are part of the
// picture (PanelPaintInto), so above zoom 1 the statics, whose lines would
// stay one pixel thin, step aside.
int IsFrameStatic(HWND hwndCtl) {
    return (GetWindowLongA(hwndCtl, GWL_STYLE) & SS_TYPEMASK) == SS_BLACKFRAME;
}

// At nZoom times their places, as the panel's picture is.
void PlaceControls(HWND hwndPanel) {
    for (HWND hwndCtl = GetWindow(hwndPanel, GW_CHILD); hwndCtl;
         hwndCtl = GetWindow(hwndCtl, GW_HWNDNEXT)) {
        int nId = (short)GetDlgCtrlID(hwndCtl); // the static id reads as 0xFFFF
        if (IsFrameStatic(hwndCtl)) ShowWindow(hwndCtl, nZoom > 1 ? SW_HIDE : SW_SHOWNA);
        for (const ControlPlace& p : kPlaces) {
            if (p.nId != nId) continue;
            const RECT rc = ZoomToClient(p.rc);
            MoveWindow(hwndCtl, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
            break;
        }
    }
}

// The frame statics' lines, drawn into the picture when the statics step
// aside (above zoom 1), in the colour they draw themselves.
void DrawFrameLines(HWND hwndPanel, HDC hdc) {
    if (nZoom <= 1) return;
    for (HWND hwndCtl = GetWindow(hwndPanel, GW_CHILD); hwndCtl;
         hwndCtl = GetWindow(hwndCtl, GW_HWNDNEXT)) {
        if (!IsFrameStatic(hwndCtl)) continue;
        int nId = (short)GetDlgCtrlID(hwndCtl);
        const PictureColor cr = PictureColorOf(FrameStaticColour(hwndCtl, NULL));
        OnPicture(hdc, [&](Picture* pPic) {
            for (const ControlPlace& p : kPlaces)
                if (p.nId == nId)
                    PictureFrame(pPic, PictureRect{p.rc.left, p.rc.top, p.rc.right, p.rc.bottom},
                                 cr);
            return 1;
        });
    }
}

void SetLineFonts(HWND hwndPanel) {
    for (int nId : {IDC_PANEL_SCORE, IDC_PANEL_LEVEL, IDC_PANEL_GOAL})
        SendDlgItemMessageA(hwndPanel, nId, WM_SETFONT, (WPARAM)hfontPanel, 0);
}

const int kFrameIds[] = {IDC_PANEL_TITLEFRAME, IDC_PANEL_LEVELFRAME, IDC_PANEL_SCOREFRAME,
                         IDC_PANEL_LIVESFRAME, IDC_PANEL_GOALFRAME};

// A frame control's rectangle in the panel's picture, the right edge in by
// one so the frame sits inside the black outline.
RECT FrameRect(HWND hwndPanel, int nId) {
    RECT rc = {0, 0, 0, 0};
    if (!GetDlgItem(hwndPanel, nId)) return rc;
    for (const ControlPlace& p : kPlaces)
        if (p.nId == nId) rc = RECT{p.rc.left, p.rc.top, p.rc.right - 1, p.rc.bottom};
    return rc;
}

// The life icons 0 .. nLives - 1 (never more than the box holds).
void DrawLives(HDC hdc) {
    HBITMAP hbmLife = LoadGameBitmap("LIFE");
    if (!hbmLife) return;
    int nIcons = game.nLives < PANEL_MAX_LIVES ? game.nLives : PANEL_MAX_LIVES;
    for (int i = 0; i < nIcons; i++)
        DrawBitmap(hdc, hbmLife, (short)(LIFE_X + LIFE_STEP * i), (short)LIFE_Y);
    DeleteObject(hbmLife);
}

void DrawNamedBitmap(HDC hdc, const char* szName, int x, int y) {
    HBITMAP hbm = LoadGameBitmap(szName);
    if (!hbm) return;
    DrawBitmap(hdc, hbm, (short)x, (short)y);
    DeleteObject(hbm);
}

void SetLine(HWND hwndPanel, int nId, const char* szText) {
    SetDlgItemTextA(hwndPanel, nId, szText);
}

int OnPanelScore(HWND hwndPanel, LPARAM lParam) {
    if (PanelScoreUpdate()) SendMessageA(hwndPanel, WM_PANELLIVES, (WPARAM)game.nLives, 0);
    char sz[PANEL_TEXT_LEN];
    PanelScoreText((uint32_t)lParam, sz, sizeof sz);
    SetLine(hwndPanel, IDC_PANEL_SCORE, sz);
    return 1;
}

int OnPanelLevel(HWND hwndPanel, WPARAM wParam) {
    char sz[PANEL_TEXT_LEN];
    PanelLevelText((int)wParam, sz, sizeof sz);
    SetLine(hwndPanel, IDC_PANEL_LEVEL, sz);
    return 1;
}

int OnPanelGoal(HWND hwndPanel) {
    char sz[PANEL_TEXT_LEN];
    PanelGoalText(game.nGoalLeft, GoalKind(), sz, sizeof sz);
    SetLine(hwndPanel, IDC_PANEL_GOAL, sz);
    return 1;
}

// The icons straight onto the window, then a white block where the icon
// after the last one stood, which wipes a life just lost.
int OnPanelLives(HWND hwndPanel) {
    HDC hdc = pfnRenderGetDC(hwndPanel);
    if (!hdc) return 0;
    DrawLives(hdc);
    if (game.nLives >= 0 && game.nLives <= PANEL_MAX_LIVES)
        OnPicture(hdc, [](Picture* pPic) {
            const int x = LIFE_X + LIFE_STEP * game.nLives;
            return PictureFill(pPic, PictureRect{x, LIFE_Y, x + LIFE_W, LIFE_Y + LIFE_H},
                               kPicWhite);
        });
    pfnRenderReleaseDC(hwndPanel, hdc);
    return 1;
}

void PaintPicture(HWND hwndPanel, HDC hdc) {
    PanelPaintInto(hwndPanel, hdc);
}

int OnPaint(HWND hwndPanel) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwndPanel, &ps);
    if (!ZoomSurfacePaint(hwndPanel, hdc, PaintPicture)) PanelPaintInto(hwndPanel, hdc);
    EndPaint(hwndPanel, &ps);
    // Every line and the lives brought up to date from the state.
    SendMessageA(hwndPanel, WM_PANELSCORE, 0, (LPARAM)game.lScore);
    SendMessageA(hwndPanel, WM_PANELLEVEL, (WPARAM)game.nLevel, 0);
    SendMessageA(hwndPanel, WM_PANELLIVES, (WPARAM)game.nLives, 0);
    SendMessageA(hwndPanel, WM_PANELGOAL, 0, 0);
    return 1;
}

INT_PTR OnCtlColor(HDC hdc, HWND hwndCtl) {
    COLORREF crText = kLevelBlue;
    int bOpaque = 1;
    switch (hwndCtl ? GetDlgCtrlID(hwndCtl) : 0) {
    case IDC_PANEL_SCORE: crText = kScoreRed; break;
    case IDC_PANEL_LEVEL: crText = kLevelBlue; break;
    case IDC_PANEL_GOAL: crText = kGoalGreen; break;
    default: bOpaque = 0; break;
    }
    SetTextColor(hdc, crText);
    if (bOpaque) {
        SetBkColor(hdc, kPanelWhite);
        SetBkMode(hdc, OPAQUE);
    }
    return (INT_PTR)GetStockObject(WHITE_BRUSH);
}

// The messages' answer: each of the four returns TRUE to its sender.
INT_PTR Answer(HWND hwndPanel, int nResult) {
    SetWindowLongPtrA(hwndPanel, DWLP_MSGRESULT, (LONG_PTR)nResult);
    return TRUE;
}

} // namespace

int PanelPaintInto(HWND hwndPanel, HDC hdc) {
    // The panel's picture covers PANEL_W x PANEL_PAINT_H and nothing else.
    const int nSaved = SaveDC(hdc);
    IntersectClipRect(hdc, 0, 0, PANEL_W, PANEL_PAINT_H);

    // Light grey all over; the outline falls outside the client area.
    const PictureColor crGrey = PictureColorOf(kPanelGrey);
    OnPicture(hdc, [&](Picture* pPic) {
        return PictureRectangle(pPic, PictureRect{-1, -1, PANEL_W, PANEL_PAINT_H}, &kPicBlack,
                                &crGrey);
    });

    RECT rcTitle = FrameRect(hwndPanel, IDC_PANEL_TITLEFRAME);
    for (int nId : kFrameIds) DrawExtrudedFrame(hdc, FrameRect(hwndPanel, nId), FRAME_DEPTH, 1);

    // The lives box, black outline and white inside, and its icons.
    OnPicture(hdc, [](Picture* pPic) {
        return PictureRectangle(pPic, PictureRect{14, 249, 199, 268}, &kPicBlack, &kPicWhite);
    });
    DrawLives(hdc);

    DrawNamedBitmap(hdc, "TITLE", TITLE_X, TITLE_Y);
    // The title picture covers part of its frame's bevel.
    DrawExtrudedFrame(hdc, rcTitle, FRAME_DEPTH, 1);

    DrawNamedBitmap(hdc, GoalPictureName(GoalKind()), GOAL_PIC_X, GOAL_PIC_Y);
    DrawExtrudedFrame(hdc, RECT{GOAL_PIC_X, GOAL_PIC_Y, 204, 351}, FRAME_DEPTH, 0);
    DrawFrameLines(hwndPanel, hdc);
    RestoreDC(hdc, nSaved);
    return 1;
}

INT_PTR CALLBACK PanelDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG:
        PlaceControls(hwndDlg);
        SetLineFonts(hwndDlg);
        // No focus for the panel: the keys belong to the main window.
        return FALSE;
    case WM_PAINT: OnPaint(hwndDlg); return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: return OnCtlColor((HDC)wParam, (HWND)lParam);
    case WM_PANELSCORE: return Answer(hwndDlg, OnPanelScore(hwndDlg, lParam));
    case WM_PANELLEVEL: return Answer(hwndDlg, OnPanelLevel(hwndDlg, wParam));
    case WM_PANELGOAL: return Answer(hwndDlg, OnPanelGoal(hwndDlg));
    case WM_PANELLIVES: OnPanelLives(hwndDlg); return Answer(hwndDlg, 1);
    default: return FALSE;
    }
}

int PanelCreate(HWND hwndMainWnd) {
    HWND hwndPanel = CreateDialogParamA(DialogInstance(), "SCOREDLG", hwndMainWnd, PanelDlgProc, 0);
    if (!hwndPanel) return 0;
    MoveWindow(hwndPanel, PANEL_X, PANEL_Y, PANEL_W, PANEL_H, FALSE);
    EnableWindow(hwndPanel, FALSE);
    game.hwndPanel = hwndPanel;
    RECT rcClient;
    GetClientRect(hwndPanel, &rcClient);
    ZoomSurfaceCreate(hwndPanel, rcClient.right, rcClient.bottom);
    return 1;
}

int PanelZoomChanged(HWND hwndPanel) {
    if (!hwndPanel) return 0;
    PlaceControls(hwndPanel);
    SetLineFonts(hwndPanel);
    InvalidateRect(hwndPanel, NULL, TRUE);
    return 1;
}
