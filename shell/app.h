// The shell's start-up, its message loop and the main window procedure.
#pragma once

#include <windows.h>

#include "shell/globals.h"

// The window style and outer size for a desktop of the given size.
struct MainWindowShape {
    DWORD dwStyle;
    int nWidth;
    int nHeight;
};
MainWindowShape MainWindowShapeFor(int nDesktopWidth, int nDesktopHeight, int nCaptionHeight);

// Sizes a captioned main window so that its client area, below the menu bar,
// is 640 x 480 times the zoom; 1 if it changed the size. In full screen it
// only takes the menu bar away again.
int MainWindowFitClient(HWND hwnd);

// The whole start-up and message loop; returns the process exit code.
int AppMain(HINSTANCE hInstance, int nCmdShow);

// The mutex that lets only one copy run, in the session's namespace. A copy
// that finds it taken waits up to APP_HANDOVER_WAIT_MS for the first copy's
// window, looking every APP_HANDOVER_POLL_MS.
#define APP_MUTEX_NAME "Local\\Quarrion.SingleCopy"
enum { APP_HANDOVER_WAIT_MS = 5000, APP_HANDOVER_POLL_MS = 20 };

// One message of the loop: the accelerators of the main window first, for
// whatever window of the thread the message is meant.
void AppDispatch(MSG* pMsg);

// The main window procedure (a thin dispatcher).
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Installs the Win32 implementation of the engine's host interface.
void HostInstallWin32();
