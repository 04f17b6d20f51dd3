// Process-wide values of the shell and its start-up.
#pragma once

#include <windows.h>

enum { APP_CAPTION_LEN = 60, APP_CLASS_LEN = 80, APP_WIDTH = 640, APP_HEIGHT = 480 };

extern HINSTANCE hInst;
extern HWND hwndMain;
extern char szAppCaption[APP_CAPTION_LEN];
extern char szAppClass[APP_CLASS_LEN];
extern HMENU hMainMenu;    // "QUARRMENU", kept loaded whether attached or not
extern HACCEL hAccelTable; // "ACCELTABLE"
extern HCURSOR hcurFinger; // shown over the command buttons
enum { NUM_BUTTONS = 6, BUTTON_FIRST_ID = 500 };
extern HWND ahwndButton[NUM_BUTTONS]; // the command buttons, ids 500..505

// The window style and outer size for a desktop of the given size.
struct MainWindowShape {
    DWORD dwStyle;
    int nWidth;
    int nHeight;
};
MainWindowShape MainWindowShapeFor(int nDesktopWidth, int nDesktopHeight, int nCaptionHeight);

// The whole start-up and message loop; returns the process exit code.
int AppMain(HINSTANCE hInstance, int nCmdShow);

// The main window procedure (a thin dispatcher).
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Installs the Win32 implementation of the engine's host interface.
void HostInstallWin32();
