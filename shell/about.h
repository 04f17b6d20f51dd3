// The About box: the game's name, version, icon and logo, in blue on light
// grey. Modal; it ends with 1 on OK, Escape, the close box or the right-click
// "Close" item.
#pragma once

#include <windows.h>

INT_PTR CALLBACK AboutDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Opens "ABOUTDLG" over hwndOwner and returns the dialog's result.
int ShowAboutDlg(HWND hwndOwner);
