// The level-complete dialog "LEVELDONEDLG" on Win32.
#pragma once

#include <windows.h>

enum { LEVELDONE_FLASH_TIMER = 400, LEVELDONE_FLASH_MS = 150, LEVELDONE_BORDER = 29 };

// The six border colours, in the order they flash.
extern const COLORREF aLevelDoneFlashColor[6];

INT_PTR CALLBACK LevelDoneDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally, owned by hwndOwner: it adds the bonus on opening
// and, on Continue, sets up the next level (result 1) or ends the won game
// (result 2000). Returns that result.
int ShowLevelDoneDlg(HWND hwndOwner);

// One step of the flashing border, drawn onto hdc over the client rectangle rc.
int LevelDoneFlashDraw(HDC hdc, RECT rc, COLORREF cr);
