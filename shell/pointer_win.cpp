// The pointer on Windows: its messages as the engine's pointer events, in
// design pixels through the zoom's one mapping.
#include "shell/pointer_win.h"

#include "engine/pointer.h"
#include "render/zoom_win.h"

// A client or screen point of the main window as a pointer event.
static int PointerSend(HWND hwnd, int nKind, POINT pt, int nWheel) {
    POINT ptDesign = ZoomClientToDesign(hwnd, pt);
    PointerEvent e = {nKind, ptDesign.x, ptDesign.y, nWheel};
    return PointerInputEvent(hwnd, &e);
}

// The client point of a mouse message, signed: a captured pointer may be let
// go left of or above the window.
static POINT PointOf(LPARAM lParam) {
    return POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)};
}

LRESULT PointerButtonDown(HWND hwnd, LPARAM lParam) {
    if (PointerSend(hwnd, POINTER_DOWN, PointOf(lParam), 0)) SetCapture(hwnd);
    return 0;
}

LRESULT PointerButtonUp(HWND hwnd, LPARAM lParam) {
    PointerSend(hwnd, POINTER_UP, PointOf(lParam), 0);
    if (GetCapture() == hwnd) ReleaseCapture();
    return 0;
}

int PointerWheel(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    POINT pt = PointOf(lParam);
    ScreenToClient(hwnd, &pt);
    return PointerSend(hwnd, POINTER_WHEEL, pt, (short)HIWORD(wParam));
}

void PointerCancel() {
    PointerEvent e = {POINTER_CANCEL, 0, 0, 0};
    PointerInputEvent(NULL, &e);
}

void PointerCaptureChanged(HWND hwnd, LPARAM lParam) {
    if ((HWND)lParam != hwnd) PointerCancel();
}

// SetGestureConfig's structure (Windows 7 on); the call is looked up at run
// time, so older systems and Wine without it go on without.
struct PointerGestureConfig {
    DWORD dwID, dwWant, dwBlock;
};
typedef BOOL(WINAPI* SetGestureConfigFn)(HWND, DWORD, UINT, PointerGestureConfig*, UINT);

void PointerGesturesOff(HWND hwnd) {
    HMODULE hUser = GetModuleHandleA("user32.dll");
    SetGestureConfigFn pfnSet =
        hUser ? (SetGestureConfigFn)(void (*)())GetProcAddress(hUser, "SetGestureConfig") : NULL;
    PointerGestureConfig config = {0, 0, 1}; // every gesture blocked (GC_ALLGESTURES)
    if (pfnSet) pfnSet(hwnd, 0, 1, &config, sizeof config);
}

LRESULT PointerTabletGestures() {
    const LRESULT TABLET_DISABLE_PENTAPFEEDBACK = 0x00000008;
    const LRESULT TABLET_DISABLE_PENBARRELFEEDBACK = 0x00000010;
    const LRESULT TABLET_DISABLE_FLICKS = 0x00010000;
    return TABLET_DISABLE_PENTAPFEEDBACK | TABLET_DISABLE_PENBARRELFEEDBACK | TABLET_DISABLE_FLICKS;
}
