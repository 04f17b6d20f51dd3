// The helper of scripts/bench, run under the same Wine as the game.
//
//   quarrion_bench bare    a bare window with the game's 32 ms timer that
//                          does nothing: what any window of this kind costs
//   quarrion_bench play    starts a new game in the running Quarrion (Enter)
//   quarrion_bench other   a window without a timer that takes the focus
//                          from the game and stays (its inactive cost)
//   quarrion_bench minimize minimizes the running Quarrion
#include <windows.h>

#include <cstring>

static LRESULT CALLBACK BareProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_TIMER: return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
}

static int RunBare(HINSTANCE hInstance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = hInstance;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = "QuarrionBenchBare";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "bare", WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                100, 100, 646, 524, NULL, NULL, hInstance, NULL);
    if (!hwnd) return 1;
    SetTimer(hwnd, 450, 32, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) DispatchMessageA(&msg);
    return 0;
}

// The running game's main window once it is shown, or NULL after 10 s.
static HWND GameWindow() {
    for (int i = 0; i < 200; i++) {
        HWND hwnd = FindWindowA("kvoQuarrwClass", NULL);
        if (hwnd && IsWindowVisible(hwnd)) return hwnd;
        Sleep(50);
    }
    return NULL;
}

static int RunPlay() {
    HWND hwnd = GameWindow();
    if (!hwnd) return 1;
    PostMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    return 0;
}

static int RunMinimize() {
    HWND hwnd = GameWindow();
    if (!hwnd) return 1;
    PostMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return 0;
}

static LRESULT CALLBACK OtherProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

static int RunOther(HINSTANCE hInstance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OtherProc;
    wc.hInstance = hInstance;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = "QuarrionBenchOther";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "other", WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                2000, 100, 300, 200, NULL, NULL, hInstance, NULL);
    if (!hwnd) return 1;
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) DispatchMessageA(&msg);
    return 0;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR szCmdLine, int) {
    if (strstr(szCmdLine, "bare")) return RunBare(hInstance);
    if (strstr(szCmdLine, "play")) return RunPlay();
    if (strstr(szCmdLine, "other")) return RunOther(hInstance);
    if (strstr(szCmdLine, "minimize")) return RunMinimize();
    return 2;
}
