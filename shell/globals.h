// The shell's process-wide values: set up at start-up, read everywhere, alive
// until the process ends. All of them are defined in globals.cpp.
#pragma once

#include <windows.h>

enum { APP_CAPTION_LEN = 60, APP_CLASS_LEN = 80, APP_WIDTH = 640, APP_HEIGHT = 480 };
enum { NUM_BUTTONS = 6, BUTTON_FIRST_ID = 500 };

extern HINSTANCE hInst;
extern HWND hwndMain;
// The main window is its thread's active window, as its WM_ACTIVATE last said.
extern int bMainActive;
extern char szAppCaption[APP_CAPTION_LEN]; // the caption and every question's title
extern char szAppClass[APP_CLASS_LEN];
extern HMENU hMainMenu;               // "QUARRMENU", kept loaded whether attached or not
extern HACCEL hAccelTable;            // "ACCELTABLE"
extern HCURSOR hcurFinger;            // shown over the command buttons
extern HWND ahwndButton[NUM_BUTTONS]; // the command buttons, ids 500..505
extern HFONT hfontPanel;              // Arial 10 pt bold: the side panel
extern HFONT hfontDialog;             // Arial 12 pt bold: the dialogs' controls
