// Helpers every dialog of the game shares: the module of the templates,
// centring, the shell's fonts, the light grey and the right-click "Close" menu.
#pragma once

#include <windows.h>

#include "shell/globals.h" // hInst, hfontPanel, hfontDialog

// The module whose resources hold the dialog templates: hInst, or the
// program's own module before the shell has set it.
HINSTANCE DialogInstance();

// A font of the given face and point size as the design has it on a screen of
// 96 dots per inch, nZoom times as tall; the caller owns it.
HFONT CreateAppFont(const char* szFace, int nPoints, int bBold, int bItalic);

// Centres hwnd on the screen, keeping its size and z-order. A popup is
// centred by its outer size, any other window by its client area.
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

// The rectangle of control nId in hwndDlg's client coordinates with its right
// edge in by one pixel: where the dialogs draw their extruded frames. 0 when
// the dialog has no such control.
int FrameControlRect(HWND hwndDlg, int nId, RECT* prc);

// DialogBoxParamA for the game's dialogs: the template's own font is made
// nZoom times its size on a screen of 96 dots per inch, so the dialog keeps its
// size beside the zoomed game window whatever the zoom and the screen.
INT_PTR ZoomDialogBox(HINSTANCE hInstance, const char* szTemplate, HWND hwndOwner, DLGPROC pfnProc,
                      LPARAM lParam);
// The same for a modeless dialog (CreateDialogParamA).
HWND ZoomCreateDialog(HINSTANCE hInstance, const char* szTemplate, HWND hwndOwner, DLGPROC pfnProc,
                      LPARAM lParam);
// The dots per inch of the screen hwnd is on (the system's where it cannot
// tell one monitor from another).
int WindowDpi(HWND hwnd);

// The pop-up menu with the single item "&Close\tAlt+F4" (command IDCANCEL),
// shown at the cursor for hwndOwner.
int ShowCloseMenu(HWND hwndOwner);
