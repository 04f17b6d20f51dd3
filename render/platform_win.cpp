// The platform calls of the renderer, behind pointers the tests can replace.
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "shell/app.h"

namespace {

DWORD PlatformTickCount() {
    return GetTickCount();
}
// A window with a back buffer is drawn through it (render/zoom_win.h).
HDC PlatformGetDC(HWND hwnd) {
    if (!hwnd) return NULL;
    HDC hdcBack = ZoomSurfaceAcquire(hwnd);
    return hdcBack ? hdcBack : GetDC(hwnd);
}
int PlatformReleaseDC(HWND hwnd, HDC hdc) {
    if (ZoomSurfaceRelease(hwnd, hdc)) return 1;
    return ReleaseDC(hwnd, hdc);
}
// The main window while it is active, else none; kept from its WM_ACTIVATE,
// as asking the system every tick costs a round trip under Wine.
HWND PlatformActiveWindow() {
    return bMainActive ? hwndMain : NULL;
}
HBITMAP PlatformLoadBitmap(const char* szName) {
    return LoadBitmapA(hInst, szName);
}
int PlatformMessageBox(HWND hwnd, const char* szText, const char* szCaption, UINT uType) {
    return MessageBoxA(hwnd, szText, szCaption, uType);
}

} // namespace

DWORD (*pfnRenderTickCount)() = PlatformTickCount;
HDC (*pfnRenderGetDC)(HWND) = PlatformGetDC;
int (*pfnRenderReleaseDC)(HWND, HDC) = PlatformReleaseDC;
HWND (*pfnRenderActiveWindow)() = PlatformActiveWindow;
HBITMAP (*pfnRenderLoadBitmap)(const char*) = PlatformLoadBitmap;
int (*pfnRenderMessageBox)(HWND, const char*, const char*, UINT) = PlatformMessageBox;

void RenderUsePlatform() {
    pfnRenderTickCount = PlatformTickCount;
    pfnRenderGetDC = PlatformGetDC;
    pfnRenderReleaseDC = PlatformReleaseDC;
    pfnRenderActiveWindow = PlatformActiveWindow;
    pfnRenderLoadBitmap = PlatformLoadBitmap;
    pfnRenderMessageBox = PlatformMessageBox;
}

int RenderLoadsResources() {
    return pfnRenderLoadBitmap == PlatformLoadBitmap;
}
