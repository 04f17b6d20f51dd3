// The six picture buttons of the main window's right-hand column: New,
// Options, Scores, Warp, Help and Quit (ids 500..505). Owner-drawn from pairs
// of bitmaps, released and pressed, with a click when one goes down.
#pragma once

#include <windows.h>

enum { BUTTON_X = 511, BUTTON_Y = 40, BUTTON_STEP_Y = 70, BUTTON_W = 83, BUTTON_H = 55 };

// Creates the buttons as children of hwndMainWnd and fills ahwndButton.
// Returns 1 when all six exist.
int ButtonsCreate(HWND hwndMainWnd);

// The bitmap resource of button nId (500..505), pressed or released; NULL for
// any other id.
const char* ButtonBitmapName(int nId, int bPressed);

// The WM_DRAWITEM answer for a command button: the pressed picture when
// ODS_SELECTED is set in itemState (and "BUTTONCLICK" plays), the released one
// otherwise; no focus rectangle. Returns 1.
int DrawButton(HDC hdc, int nId, UINT itemState);
