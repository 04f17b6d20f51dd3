// The main window procedure: a dispatcher, each message's work in a function.
#include "shell/app.h"

#include "engine/game.h"

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

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: return OnDestroy(hwnd);
    default: return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
}
