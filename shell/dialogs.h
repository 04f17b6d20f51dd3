// Helpers every dialog of the game shares: centring, the shell's fonts and
// the right-click "Close" menu.
#pragma once

#include <windows.h>

#include "shell/globals.h" // hfontPanel, hfontDialog

// A font of the given face and point size for the screen; the caller owns it.
HFONT CreateAppFont(const char* szFace, int nPoints, int bBold, int bItalic);

// Centres hwnd on the screen, keeping its size and z-order. A popup is
// centred by its outer size, any other window by its client area.
int CenterWindow(HWND hwnd);

// Gives every direct child control of hwndDlg the font hfontDialog.
int SetDialogFont(HWND hwndDlg);

// The pop-up menu with the single item "&Close\tAlt+F4" (command IDCANCEL),
// shown at the cursor for hwndOwner.
int ShowCloseMenu(HWND hwndOwner);
