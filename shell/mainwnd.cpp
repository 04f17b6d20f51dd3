// The main window procedure: a dispatcher, each message's work in a function.
#include "shell/app.h"

#include "engine/game.h"
#include "prefs/prefs.h"
#include "render/render_win.h"

static LRESULT OnCreate() {
    game.nLevel = 1;
    game.bPaused = 1;
    game.bGameRunning = 0;
    game.bMinimized = 0;
    return 0;
}

static LRESULT OnDestroy(HWND hwnd) {
    KillTimer(hwnd, PLAY_TIMER_ID);
    PostQuitMessage(0);
    return 0;
}

// The whole client area, and the seam under an attached menu bar drawn with
// whatever pen the window's own context holds.
static LRESULT OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    PaintMainWindow(hdc);
    if (prefs.bUseMenu) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        MoveToEx(hdc, rc.left, rc.top, NULL);
        LineTo(hdc, rc.right, rc.top);
    }
    EndPaint(hwnd, &ps);
    return 1;
}

// The play timer: nothing while minimized; the title screen's animation
// while no game runs.
static LRESULT OnTimer(HWND hwnd, WPARAM wParam) {
    if (wParam != PLAY_TIMER_ID || game.bMinimized) return 1;
    if (!game.bGameRunning) {
        TitleTick(hwnd);
        ButtonChaseTick(hwnd);
    }
    return 1;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: return OnDestroy(hwnd);
    case WM_PAINT: return OnPaint(hwnd);
    case WM_TIMER: return OnTimer(hwnd, wParam);
    default: return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
}
