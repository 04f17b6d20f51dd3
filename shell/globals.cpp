// The shell's process-wide values (see globals.h).
#include "shell/globals.h"

HINSTANCE hInst;
HWND hwndMain;
int bMainActive;
char szAppCaption[APP_CAPTION_LEN];
char szAppClass[APP_CLASS_LEN];
HMENU hMainMenu;
HACCEL hAccelTable;
HCURSOR hcurFinger;
HWND ahwndButton[NUM_BUTTONS];
HFONT hfontPanel;
HFONT hfontDialog;
