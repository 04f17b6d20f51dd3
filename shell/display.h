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

// The start that keeps an extent of nSize within nLow..nHigh; nLow when it
// is larger than that.
int DisplayClamp(int nPos, int nSize, int nLow, int nHigh);

// WM_DPICHANGED: the window takes prcNew's place, and its client area is
// 640 x 480 times the zoom in force on that monitor (the player's, or the
// largest that fits); full screen covers its monitor again. Never centres.
int DisplayDpiChanged(HWND hwnd, const RECT* prcNew);
// WM_EXITSIZEMOVE: a move that ends on a monitor where another zoom is in
// force sizes the window for it, inside that monitor's work area.
int DisplayMoveEnded(HWND hwnd);
// WM_DISPLAYCHANGE: the zoom in force fitted again, full screen included.
int DisplayScreenChanged(HWND hwnd);

// In full screen the window stays where it is: 1 for the system menu's Move
// and Size (uCommand without its low four bits), which are refused then.
int DisplayRefusesSysCommand(UINT uCommand);
// Greys Move and Size when hMenu is hwnd's system menu in full screen.
int DisplayInitSystemMenu(HWND hwnd, HMENU hMenu);
