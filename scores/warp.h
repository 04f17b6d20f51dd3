// What the warp dialog's OK button does with the typed code, apart from the
// window (warpdlg_win.cpp).
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
