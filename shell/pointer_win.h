// The pointer on Windows: the left button and the wheel of the mouse on the
// playfield, and the touch screen and pen as the mouse messages the system
// makes of them. What they mean is decided in engine/pointer.cpp.
#pragma once

#include <windows.h>

// WM_LBUTTONDOWN and WM_LBUTTONUP (lParam the client point): a press on the
// playfield keeps the pointer until it is let go.
LRESULT PointerButtonDown(HWND hwnd, LPARAM lParam);
LRESULT PointerButtonUp(HWND hwnd, LPARAM lParam);
// WM_MOUSEWHEEL (lParam the screen point); 1 when the game took it.
int PointerWheel(HWND hwnd, WPARAM wParam, LPARAM lParam);
// The press taken away (WM_CAPTURECHANGED to another window, the right button
// or a long press opening the menu).
void PointerCancel();
// WM_CAPTURECHANGED: lParam the window that takes the pointer.
void PointerCaptureChanged(HWND hwnd, LPARAM lParam);

// Touch and pen: the system's gestures are turned off for the window (a drag
// comes as the mouse's, not as a pan), and so are the pen's flicks; the long
// press stays, as the right button.
enum {
    POINTER_WM_GESTURENOTIFY = 0x011A,
    POINTER_WM_TABLET_QUERYSYSTEMGESTURESTATUS = 0x02CC,
};
void PointerGesturesOff(HWND hwnd);
LRESULT PointerTabletGestures();
