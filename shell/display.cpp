// The main window's zoom, full screen and the "Window Size" menus.
//
// The picture is always drawn at 640 x 480 into the back buffer
// (render/zoom_win.h); here the window, its children and the fonts are sized
// for the zoom, and the back buffer's copy does the rest.
#include "shell/display.h"

#include <algorithm>
#include <cstdio>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/panel_win.h"
#include "shell/app.h"
#include "shell/buttons.h"
#include "shell/commands.h"
#include "shell/dialogs.h"
#include "shell/tooltips.h"

namespace {

const DWORD WINDOWED_STYLE = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

} // namespace

int DisplayPlatformMonitorAreas(HWND hwnd, RECT* prcMonitor, RECT* prcWork) {
    HMONITOR hMonitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    if (hMonitor && GetMonitorInfoA(hMonitor, &mi)) {
        *prcMonitor = mi.rcMonitor;
        *prcWork = mi.rcWork;
        return 1;
    }
    SetRect(prcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, prcWork, 0)) *prcWork = *prcMonitor;
    return 1;
}

namespace {

int bFullScreen;
// The window as it was before full screen: its place and style come back.
RECT rcBeforeFull;
DWORD dwStyleBeforeFull;
// The zoom the shell's fonts were made for; 0 before the first.
int nFontZoom;
// The tooltips' own font at zoom 1, and the one made for the zoom.
LOGFONTA lfTipDesign;
int bTipDesignKnown;
HFONT hfontTip;

int RectW(const RECT& rc) {
    return rc.right - rc.left;
}
int RectH(const RECT& rc) {
    return rc.bottom - rc.top;
}

// The small screen's captionless window stays at zoom 1.
int IsSmallScreenWindow(HWND hwnd) {
    return !bFullScreen && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
}

void FontsForZoom() {
    if (nFontZoom == nZoom) return;
    HFONT hfontOldPanel = hfontPanel, hfontOldDialog = hfontDialog;
    hfontPanel = CreateAppFont("Arial", 10, 1, 0, nZoom);
    hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
    if (game.hwndPanel) PanelZoomChanged((HWND)game.hwndPanel);
    if (hfontOldPanel) DeleteObject(hfontOldPanel);
    if (hfontOldDialog) DeleteObject(hfontOldDialog);

    // The tooltips: their own font, nZoom times as tall.
    if (tipsMain.hwndTip) {
        if (!bTipDesignKnown) {
            HFONT hfontTipNow = (HFONT)SendMessageA(tipsMain.hwndTip, WM_GETFONT, 0, 0);
            if (!hfontTipNow) hfontTipNow = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
            bTipDesignKnown = GetObjectA(hfontTipNow, sizeof lfTipDesign, &lfTipDesign) != 0;
        }
        if (bTipDesignKnown) {
            LOGFONTA lf = lfTipDesign;
            lf.lfHeight = ZoomToClient(lf.lfHeight);
            lf.lfWidth = ZoomToClient(lf.lfWidth);
            HFONT hfontNew = CreateFontIndirectA(&lf);
            SendMessageA(tipsMain.hwndTip, WM_SETFONT, (WPARAM)hfontNew, 0);
            if (hfontTip) DeleteObject(hfontTip);
            hfontTip = hfontNew;
        }
    }
    nFontZoom = nZoom;
}

// The buttons and the side panel at nZoom times their places.
void ChildrenPlace(HWND hwnd) {
    for (int i = 0; i < NUM_BUTTONS; i++) {
        if (!ahwndButton[i]) continue;
        POINT pt = ZoomDesignToClient(hwnd, POINT{BUTTON_X, BUTTON_Y + BUTTON_STEP_Y * i});
        MoveWindow(ahwndButton[i], pt.x, pt.y, ZoomToClient(BUTTON_W), ZoomToClient(BUTTON_H),
                   TRUE);
    }
    HWND hwndPanel = (HWND)game.hwndPanel;
    if (hwndPanel) {
        // The panel's client area, not its border, is what scales.
        RECT rcWindow, rcClient;
        GetWindowRect(hwndPanel, &rcWindow);
        GetClientRect(hwndPanel, &rcClient);
        int nBorderX = (RectW(rcWindow) - rcClient.right) / 2;
        int nBorderY = (RectH(rcWindow) - rcClient.bottom) / 2;
        int nInnerW = PANEL_W - 2 * nBorderX, nInnerH = PANEL_H - 2 * nBorderY;
        POINT pt = ZoomDesignToClient(hwnd, POINT{PANEL_X + nBorderX, PANEL_Y + nBorderY});
        MoveWindow(hwndPanel, pt.x - nBorderX, pt.y - nBorderY,
                   ZoomToClient(nInnerW) + 2 * nBorderX, ZoomToClient(nInnerH) + 2 * nBorderY,
                   TRUE);
    }
    FontsForZoom();
}

// Centres the window in the work area of its monitor, inside it where it fits.
void CentreInWorkArea(HWND hwnd) {
    RECT rcMonitor, rcWork, rcWindow;
    if (!pfnDisplayMonitorAreas(hwnd, &rcMonitor, &rcWork)) return;
    GetWindowRect(hwnd, &rcWindow);
    int x = rcWork.left + ZoomCentre(RectW(rcWork), RectW(rcWindow));
    int y = rcWork.top + ZoomCentre(RectH(rcWork), RectH(rcWindow));
    SetWindowPos(hwnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Brings the window inside a work area; one larger than the area keeps its
// top left corner inside.
void KeepInWorkArea(HWND hwnd, const RECT& rcWork) {
    RECT rcWindow;
    GetWindowRect(hwnd, &rcWindow);
    int x = DisplayClamp(rcWindow.left, RectW(rcWindow), rcWork.left, rcWork.right);
    int y = DisplayClamp(rcWindow.top, RectH(rcWindow), rcWork.top, rcWork.bottom);
    if (x != rcWindow.left || y != rcWindow.top)
        SetWindowPos(hwnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Repaint(HWND hwnd) {
    InvalidateRect(hwnd, NULL, TRUE);
    if (game.hwndPanel) InvalidateRect((HWND)game.hwndPanel, NULL, TRUE);
    UpdateWindow(hwnd);
    // A full repaint shows the paddle alone; its tiles come back at once.
    PaddleRedraw();
}

// Where a window sized anew goes: centred in its work area, left where its
// top left corner is (a move in progress), or there but inside the work area.
enum Place { PLACE_CENTRE, PLACE_KEEP, PLACE_INSIDE };

void ApplyWindowed(HWND hwnd, int nNewZoom, Place place) {
    // The monitor the zoom is for, taken before the window grows past it.
    RECT rcMonitor, rcWork;
    int bAreas = pfnDisplayMonitorAreas(hwnd, &rcMonitor, &rcWork);
    nZoom = nNewZoom;
    ptZoomOrigin = POINT{0, 0};
    if (prefs.bUseMenu && hMainMenu && GetMenu(hwnd) != hMainMenu) SetMenu(hwnd, hMainMenu);
    ChildrenPlace(hwnd);
    MainWindowFitClient(hwnd);
    if (place == PLACE_CENTRE) CentreInWorkArea(hwnd);
    if (place == PLACE_INSIDE && bAreas) KeepInWorkArea(hwnd, rcWork);
    Repaint(hwnd);
}

void ApplyFullScreen(HWND hwnd) {
    RECT rcMonitor, rcWork;
    if (!pfnDisplayMonitorAreas(hwnd, &rcMonitor, &rcWork)) return;
    if (GetMenu(hwnd)) SetMenu(hwnd, NULL);
    DWORD dwStyle = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    dwStyle &= ~(DWORD)(WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    SetWindowLongA(hwnd, GWL_STYLE, (LONG)(dwStyle | WS_POPUP | WS_SYSMENU));
    SetWindowPos(hwnd, HWND_TOP, rcMonitor.left, rcMonitor.top, RectW(rcMonitor), RectH(rcMonitor),
                 SWP_FRAMECHANGED | SWP_NOACTIVATE);
    RECT rcClient;
    GetClientRect(hwnd, &rcClient);
    nZoom = ZoomLargestFitting(rcClient.right, rcClient.bottom, 0, 0);
    ptZoomOrigin = POINT{ZoomCentre(rcClient.right, ZoomToClient(ZOOM_DESIGN_W)),
                         ZoomCentre(rcClient.bottom, ZoomToClient(ZOOM_DESIGN_H))};
    ChildrenPlace(hwnd);
    Repaint(hwnd);
}

// The zoom the windowed game takes: the player's, within what fits, or the
// largest that fits.
int WindowedZoom(HWND hwnd) {
    int nLargest = DisplayLargestZoom(hwnd);
    if (prefs.nZoom == ZOOM_FITS) return nLargest;
    return prefs.nZoom < nLargest ? prefs.nZoom : nLargest;
}

int FullScreenEnter(HWND hwnd) {
    GetWindowRect(hwnd, &rcBeforeFull);
    dwStyleBeforeFull = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    bFullScreen = 1;
    prefs.bFullScreen = 1;
    ApplyFullScreen(hwnd);
    return 1;
}

int FullScreenLeave(HWND hwnd) {
    bFullScreen = 0;
    prefs.bFullScreen = 0;
    // Full screen may have begun before the window was first shown: the
    // window stays as visible as it is now, whatever it was then.
    DWORD dwVisible = (DWORD)GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongA(hwnd, GWL_STYLE, (LONG)((dwStyleBeforeFull & ~(DWORD)WS_VISIBLE) | dwVisible));
    if (prefs.bUseMenu && hMainMenu) SetMenu(hwnd, hMainMenu);
    SetWindowPos(hwnd, NULL, rcBeforeFull.left, rcBeforeFull.top, RectW(rcBeforeFull),
                 RectH(rcBeforeFull), SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
    // The menu bar may have come or gone and the monitors changed meanwhile:
    // the zoom in force, the client area fitted to it, inside a work area.
    ApplyWindowed(hwnd, WindowedZoom(hwnd), PLACE_INSIDE);
    return 1;
}

} // namespace

int (*pfnDisplayMonitorAreas)(HWND hwnd, RECT* prcMonitor,
                              RECT* prcWork) = DisplayPlatformMonitorAreas;

int DisplayIsFullScreen() {
    return bFullScreen;
}

int DisplayClamp(int nPos, int nSize, int nLow, int nHigh) {
    return std::max(nLow, std::min(nPos, nHigh - nSize));
}

int DisplayLargestZoom(HWND hwnd) {
    RECT rcMonitor, rcWork;
    if (!pfnDisplayMonitorAreas(hwnd, &rcMonitor, &rcWork)) return ZOOM_MIN;
    // The frame, caption and menu bar: the window's own while it has them as
    // the windowed game has them (at the dots per inch of its monitor), else
    // the system's.
    RECT rc = {0, 0, ZOOM_DESIGN_W, ZOOM_DESIGN_H}, rcClient;
    AdjustWindowRectEx(&rc, WINDOWED_STYLE, prefs.bUseMenu ? TRUE : FALSE, 0);
    int nExtraW = RectW(rc) - ZOOM_DESIGN_W, nExtraH = RectH(rc) - ZOOM_DESIGN_H;
    DWORD dwStyle = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    if (!bFullScreen && !IsIconic(hwnd) && (dwStyle & WS_CAPTION) == WS_CAPTION &&
        (GetMenu(hwnd) != NULL) == (prefs.bUseMenu != 0) && GetWindowRect(hwnd, &rc) &&
        GetClientRect(hwnd, &rcClient) && rcClient.bottom > 0) {
        nExtraW = RectW(rc) - rcClient.right;
        nExtraH = RectH(rc) - rcClient.bottom;
    }
    return ZoomLargestFitting(RectW(rcWork), RectH(rcWork), nExtraW, nExtraH);
}

int DisplayApply(HWND hwnd) {
    if (!hwnd) return 0;
    if (IsSmallScreenWindow(hwnd)) {
        nZoom = 1;
        ptZoomOrigin = POINT{0, 0};
        ChildrenPlace(hwnd);
        CenterWindow(hwnd);
        return 1;
    }
    if (bFullScreen) {
        ApplyFullScreen(hwnd);
        return 1;
    }
    ApplyWindowed(hwnd, WindowedZoom(hwnd), PLACE_CENTRE);
    if (prefs.bFullScreen) FullScreenEnter(hwnd);
    return 1;
}

int DisplaySetZoom(HWND hwnd, int nNewZoom) {
    if (nNewZoom < ZOOM_MIN || nNewZoom > ZOOM_MAX || IsSmallScreenWindow(hwnd)) return 0;
    if (bFullScreen) FullScreenLeave(hwnd);
    prefs.nZoom = nNewZoom;
    ApplyWindowed(hwnd, WindowedZoom(hwnd), PLACE_CENTRE);
    return 1;
}

int DisplayStepZoom(HWND hwnd, int nDir) {
    if (bFullScreen || IsSmallScreenWindow(hwnd)) return 0;
    int nNext = ZoomStep(nZoom, nDir, DisplayLargestZoom(hwnd));
    if (nNext == nZoom) return 0;
    return DisplaySetZoom(hwnd, nNext);
}

int DisplayToggleFullScreen(HWND hwnd) {
    if (!hwnd) return 0;
    if (bFullScreen) return FullScreenLeave(hwnd);
    return FullScreenEnter(hwnd);
}

int DisplayCommand(HWND hwnd, int nId) {
    if (nId > IDM_ZOOM_BASE && nId <= IDM_ZOOM_LAST && (nId - IDM_ZOOM_BASE) % 16 == 0) {
        DisplaySetZoom(hwnd, (nId - IDM_ZOOM_BASE) / 16);
        return 1;
    }
    switch (nId) {
    case IDM_FULLSCREEN: DisplayToggleFullScreen(hwnd); return 1;
    case IDM_ZOOMIN: DisplayStepZoom(hwnd, 1); return 1;
    case IDM_ZOOMOUT: DisplayStepZoom(hwnd, -1); return 1;
    default: return 0;
    }
}

int DisplayFillSizeMenu(HWND hwnd, HMENU hMenu) {
    if (!hMenu) return 0;
    while (GetMenuItemCount(hMenu) > 0) DeleteMenu(hMenu, 0, MF_BYPOSITION);
    int nLargest = IsSmallScreenWindow(hwnd) ? 1 : DisplayLargestZoom(hwnd);
    for (int n = ZOOM_MIN; n <= nLargest; n++) {
        char szItem[48];
        snprintf(szItem, sizeof szItem, "&%dx  (%d x %d)", n, ZOOM_DESIGN_W * n, ZOOM_DESIGN_H * n);
        UINT uFlags = MF_STRING | (!bFullScreen && n == nZoom ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(hMenu, uFlags, (UINT_PTR)(IDM_ZOOM_BASE + 16 * n), szItem);
    }
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(hMenu, MF_STRING | (bFullScreen ? MF_CHECKED : MF_UNCHECKED), IDM_FULLSCREEN,
                "Full Screen\tAlt+Enter");
    return 1;
}

int DisplayAppendSizeMenu(HWND hwnd, HMENU hMenu) {
    HMENU hSub = CreatePopupMenu();
    if (!hSub) return 0;
    DisplayFillSizeMenu(hwnd, hSub);
    return AppendMenuA(hMenu, MF_POPUP, (UINT_PTR)hSub, "Window Size") ? 1 : 0;
}

int DisplayUpdateSizeMenus(HWND hwnd, HMENU hMenu) {
    if (!hMenu) return 0;
    int nLastOwn = GetMenuItemCount(hMenu) - 1;
    if (nLastOwn >= 0 && GetMenuItemID(hMenu, nLastOwn) == IDM_FULLSCREEN)
        return DisplayFillSizeMenu(hwnd, hMenu);
    int nFilled = 0;
    for (int i = 0; i < GetMenuItemCount(hMenu); i++) {
        HMENU hSub = GetSubMenu(hMenu, i);
        if (!hSub) continue;
        int nLast = GetMenuItemCount(hSub) - 1;
        if (nLast >= 0 && GetMenuItemID(hSub, nLast) == IDM_FULLSCREEN)
            nFilled += DisplayFillSizeMenu(hwnd, hSub);
        else
            nFilled += DisplayUpdateSizeMenus(hwnd, hSub);
    }
    return nFilled;
}

void DisplayFree() {
    if (hfontTip) DeleteObject(hfontTip);
    hfontTip = NULL;
    bTipDesignKnown = 0;
    nFontZoom = 0;
}

// The suggested rectangle's place, and the client area fitted to the zoom in
// force on the new monitor; never centred, as the player may be dragging.
int DisplayDpiChanged(HWND hwnd, const RECT* prcNew) {
    if (!hwnd) return 0;
    if (bFullScreen) {
        ApplyFullScreen(hwnd);
        return 1;
    }
    int bSmall = IsSmallScreenWindow(hwnd);
    if (prcNew)
        SetWindowPos(hwnd, NULL, prcNew->left, prcNew->top, RectW(*prcNew), RectH(*prcNew),
                     (bSmall ? SWP_NOSIZE : 0) | SWP_NOZORDER | SWP_NOACTIVATE);
    if (bSmall) return 0;
    ApplyWindowed(hwnd, WindowedZoom(hwnd), PLACE_KEEP);
    return 1;
}

int DisplayMoveEnded(HWND hwnd) {
    if (!hwnd || bFullScreen || IsIconic(hwnd) || IsSmallScreenWindow(hwnd)) return 0;
    int nFit = WindowedZoom(hwnd);
    if (nFit == nZoom) return 0;
    ApplyWindowed(hwnd, nFit, PLACE_INSIDE);
    return 1;
}

int DisplayScreenChanged(HWND hwnd) {
    if (!hwnd || IsIconic(hwnd)) return 0;
    if (bFullScreen) {
        ApplyFullScreen(hwnd);
        return 1;
    }
    if (IsSmallScreenWindow(hwnd)) return 0;
    ApplyWindowed(hwnd, WindowedZoom(hwnd), PLACE_INSIDE);
    return 1;
}

int DisplayRefusesSysCommand(UINT uCommand) {
    return bFullScreen && (uCommand == SC_MOVE || uCommand == SC_SIZE);
}

int DisplayInitSystemMenu(HWND hwnd, HMENU hMenu) {
    if (!hwnd || !hMenu || hMenu != GetSystemMenu(hwnd, FALSE)) return 0;
    EnableMenuItem(hMenu, SC_MOVE, MF_BYCOMMAND | (bFullScreen ? MF_GRAYED : MF_ENABLED));
    if (bFullScreen) EnableMenuItem(hMenu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
    return 1;
}
