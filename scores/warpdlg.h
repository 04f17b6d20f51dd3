// The warp dialog's rules apart from the window: what OK does with the typed
// code (warpdlg_win.cpp shows the dialog).
#pragma once

enum {
    WARP_OK_NOTHING = 0, // no password: the dialog stays open, silently
    WARP_OK_BEEP = 1,    // a password of a level not above the current one
    WARP_OK_GO = 2,      // *pnLevel is the level to start at
};

// The action for the code szTyped (at most 24 characters are read) while the
// game stands at nCurrentLevel. The direct level-select code (marker, two
// characters read as the level, marker) always goes, even backwards; a
// password only goes forward. szTyped is not changed.
int WarpOkAction(const char* szTyped, int nCurrentLevel, int* pnLevel);
