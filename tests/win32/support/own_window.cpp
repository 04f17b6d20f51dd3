#include "tests/win32/support/own_window.h"

namespace {

struct Wanted {
    const char* szClass;
    const char* szCaption;
    HWND hwnd;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
    Wanted* pWanted = (Wanted*)lParam;
    char sz[64] = "";
    GetClassNameA(hwnd, sz, sizeof sz);
    if (lstrcmpA(sz, pWanted->szClass) != 0 || !IsWindowVisible(hwnd)) return TRUE;
    GetWindowTextA(hwnd, sz, sizeof sz);
    if (pWanted->szCaption && lstrcmpA(sz, pWanted->szCaption) != 0) return TRUE;
    pWanted->hwnd = hwnd;
    return FALSE;
}

} // namespace

HWND FindOwnWindow(const char* szClass, const char* szCaption) {
    Wanted wanted = {szClass, szCaption, NULL};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, (LPARAM)&wanted);
    return wanted.hwnd;
}
