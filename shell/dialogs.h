// Helpers every dialog of the game shares: the module of the templates,
// centring, the shell's fonts, the light grey and the right-click "Close" menu.
#pragma once

#include <windows.h>

#include "render/zoom_win.h" // nZoom, which the fonts are made for
#include "shell/globals.h"   // hInst, hfontPanel, hfontDialog

// The module whose resources hold the dialog templates: hInst, or the
// program's own module before the shell has set it.
HINSTANCE DialogInstance();

// A font of the given face and point size as the design has it on a screen of
// 96 dots per inch, nZoomBy times as tall; the caller owns it.
HFONT CreateAppFont(const char* szFace, int nPoints, int bBold, int bItalic, int nZoomBy);
// The font lfDesign (sized for zoom 1) nZoomBy times as tall, and no wider
// than nZoomBy times its width; the caller owns it.
HFONT CreateZoomedFont(const LOGFONTA& lfDesign, int nZoomBy);

// The colour a frame static (black, grey or white frame) draws its line in:
// its top-left pixel as it paints itself, through pfnOwnProc when it has been
// given another procedure, else through its own.
COLORREF FrameStaticColour(HWND hwnd, WNDPROC pfnOwnProc);

// Centres hwnd in the work area of the monitor that holds the game (its
// owner, or the main window), keeping its size and z-order, and keeps it
// inside that area. A popup is centred by its outer size, any other window
// by its client area.
int CenterWindow(HWND hwnd);

// Gives every direct child control of hwndDlg the font hfontDialog.
int SetDialogFont(HWND hwndDlg);

// The light grey of every dialog of the game (the face colour of the system
// the game was designed on).
const COLORREF DIALOG_GREY = RGB(192, 192, 192);
// The answer to WM_CTLCOLORDLG and WM_CTLCOLORSTATIC of a dialog on light
// grey, whatever the system's colours: crText on an opaque grey, and the light
// grey stock brush for the background.
INT_PTR DialogGreyColour(HDC hdc, COLORREF crText);

// The rectangle of control nId in hwndDlg's client area, in design pixels
// (the window's divided by nZoom), with its right edge in by one pixel: where
// the dialogs draw their extruded frames. 0 when the dialog has no such
// control.
int FrameControlRect(HWND hwndDlg, int nId, RECT* prc);

// --- A dialog's own drawing at the zoom -----------------------------------------
// The dialogs draw their pictures and frames at design size; at zoom 1 straight
// into the window's context, at any other zoom into a DesignCanvas
// (render/zoom_win.h), copied to the window nZoom times larger, pixel for pixel.
struct ZoomCanvas {
    HDC hdcTarget;
    HWND hwndDlg;        // its opaque controls are left out of the copy
    DesignCanvas design; // none at zoom 1
};
// Starts drawing the design rectangle rc of hdcTarget (a context of hwndDlg's
// client area); at a zoom the memory context starts filled with hbrFill.
// Returns the context to draw into, in design coordinates.
HDC ZoomCanvasBegin(ZoomCanvas* pCanvas, HDC hdcTarget, HWND hwndDlg, RECT rc, HBRUSH hbrFill);
// Copies what was drawn to the window, except over the controls of the dialog
// that paint all of their own area (texts, buttons, edits, lists, icons),
// which draw themselves as they do at zoom 1.
void ZoomCanvasEnd(ZoomCanvas* pCanvas);
// hwnd's client area in design pixels (its size divided by nZoom).
RECT ZoomDesignClient(HWND hwnd);

// DialogBoxParamA for the game's dialogs: the template's own font is made
// nZoom times its size on a screen of 96 dots per inch, so the dialog keeps its
// size beside the zoomed game window whatever the zoom and the screen.
INT_PTR ZoomDialogBox(HINSTANCE hInstance, const char* szTemplate, HWND hwndOwner, DLGPROC pfnProc,
                      LPARAM lParam);
// The dots per inch of the screen hwnd is on (the system's where it cannot
// tell one monitor from another).
int WindowDpi(HWND hwnd);

// The pop-up menu with the single item "&Close\tAlt+F4" (command IDCANCEL),
// shown at the cursor for hwndOwner.
int ShowCloseMenu(HWND hwndOwner);
