// The side panel's window: a modeless dialog from "SCOREDLG", child of the
// main window, told of changes by WM_PANELSCORE, WM_PANELLEVEL, WM_PANELGOAL
// and WM_PANELLIVES (engine/game.h).
#pragma once

#include <windows.h>

enum {
    PANEL_X = 29, // where the panel sits in the main window's client area
    PANEL_Y = 34,
    PANEL_W = 219, // its outer size; the border leaves 217 x 414 inside
    PANEL_H = 416,
    PANEL_PAINT_H = 415, // height of the composed picture
};

// Creates the panel hidden from "SCOREDLG" with hwndMainWnd as parent, moves
// it to (29, 34), 219 x 416, disables it (it takes no input) and stores it in
// game.hwndPanel. Returns 1, or 0 if the dialog could not be made.
int PanelCreate(HWND hwndMainWnd);

INT_PTR CALLBACK PanelDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Composes the whole panel (background, frames, lives, title and goal
// picture) off screen and copies it onto hdc at (0, 0). Returns 1.
int PanelPaintInto(HWND hwndPanel, HDC hdc);

// The zoom changed: the controls go to nZoom times their places and take the
// panel's font anew (hfontPanel); the panel repaints. 1 if there is a panel.
int PanelZoomChanged(HWND hwndPanel);
