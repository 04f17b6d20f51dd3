// The main window's size on today's screens: the zoom that fits, the player's
// choice of zoom, full screen, and the "Window Size" menus.
#pragma once

#include <windows.h>

// The monitor and its work area for a window: the platform's own, or the
// tests' stand-in for a screen of another size. 1 when it found them.
extern int (*pfnDisplayMonitorAreas)(HWND hwnd, RECT* prcMonitor, RECT* prcWork);
int DisplayPlatformMonitorAreas(HWND hwnd, RECT* prcMonitor, RECT* prcWork);

// 1 while the main window covers its monitor.
int DisplayIsFullScreen();

// The largest zoom at which the captioned window (frame, caption and, when
// attached, the menu bar) fits the work area of hwnd's monitor.
int DisplayLargestZoom(HWND hwnd);

// Sizes and places the main window and its children for the preferences
// (zoom or "fits", full screen) on the monitor the window is on; 1 if it did.
// The captionless window of a small screen stays at zoom 1.
int DisplayApply(HWND hwnd);

// The player's choices: a zoom (leaves full screen), a step of Ctrl+Plus or
// Ctrl+Minus, and full screen on or off. Each returns 1 if something changed.
int DisplaySetZoom(HWND hwnd, int nNewZoom);
int DisplayStepZoom(HWND hwnd, int nDir);
int DisplayToggleFullScreen(HWND hwnd);

// Carries out a display command (IDM_ZOOM_BASE + 16 n, IDM_FULLSCREEN,
// IDM_ZOOMIN, IDM_ZOOMOUT); 0 when nId is none of them.
int DisplayCommand(HWND hwnd, int nId);

// Fills hMenu with one item per zoom that fits, with its pixel size, the
// current one checked, and "Full Screen\tAlt+Enter".
int DisplayFillSizeMenu(HWND hwnd, HMENU hMenu);
// Appends the "Window Size" submenu to hMenu (it is destroyed with hMenu).
int DisplayAppendSizeMenu(HWND hwnd, HMENU hMenu);
// Brings every "Window Size" submenu of hMenu up to date.
int DisplayUpdateSizeMenus(HWND hwnd, HMENU hMenu);

// Frees what the display made (the tooltips' font); shutdown.
void DisplayFree();

// WM_DPICHANGED: a fitted zoom is fitted again for the monitor of prcNew.
int DisplayDpiChanged(HWND hwnd, const RECT* prcNew);
