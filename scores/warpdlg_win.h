// The level warp dialog "WARPDLG" on Win32.
#pragma once

#include <windows.h>

INT_PTR CALLBACK WarpDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally, owned by hwndOwner. Returns 1 when a code was
// accepted (game.nLevel then holds the level to start at; "WARP" has been
// played), else 0 (cancelled, nothing changed).
int ShowWarpDlg(HWND hwndOwner);
