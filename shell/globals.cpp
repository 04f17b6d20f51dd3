// Process-wide handles of the shell that live for the whole run.
#include "shell/app.h"

HMENU hMainMenu;
HACCEL hAccelTable;
HCURSOR hcurFinger;
HWND ahwndButton[NUM_BUTTONS];
