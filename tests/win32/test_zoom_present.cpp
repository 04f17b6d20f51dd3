// The present step: what a held message draws reaches the window once, at
// its end; nothing drawn, or a minimized window, sends nothing.
#include <gtest/gtest.h>

#include "render/render_win.h"
#include "render/zoom_win.h"

namespace {

HWND PresentWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuarrionPresentTest";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "present", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                           300, 200, NULL, NULL, wc.hInstance, NULL);
}

// One batch of drawing: a black square of 2 design pixels at (x, y) with a
// white column right of it.
void DrawSquare(HWND hwnd, int x, int y) {
    HDC hdc = pfnRenderGetDC(hwnd);
    if (x >= 0) {
        PatBlt(hdc, x, y, 3, 2, WHITENESS);
        PatBlt(hdc, x, y, 2, 2, BLACKNESS);
    }
    pfnRenderReleaseDC(hwnd, hdc);
}

TEST(ZoomPresent, OneCopyPerHeldMessageOnlyOfWhatChanged) {
    HWND hwnd = PresentWindow();
    ASSERT_TRUE(hwnd);
    RenderUsePlatform();
    nZoom = 2;
    ASSERT_TRUE(ZoomSurfaceCreate(hwnd, 60, 40));
    const int n0 = ZoomPresentCount();
    DrawSquare(hwnd, -1, 0); // nothing drawn, nothing sent
    EXPECT_EQ(ZoomPresentCount(), n0);
    DrawSquare(hwnd, 1, 1); // outside a held message: at once
    EXPECT_EQ(ZoomPresentCount(), n0 + 1);

    ZoomPresentHold();
    DrawSquare(hwnd, 10, 10);
    DrawSquare(hwnd, 50, 30);
    EXPECT_EQ(ZoomPresentCount(), n0 + 1);
    ZoomPresentEnd();
    EXPECT_EQ(ZoomPresentCount(), n0 + 2);
    HDC hdc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(hdc, 20, 20), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(hdc, 23, 23), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(hdc, 24, 20), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(hdc, 103, 63), RGB(0, 0, 0));
    ReleaseDC(hwnd, hdc);

    ShowWindow(hwnd, SW_MINIMIZE);
    ZoomPresentHold();
    DrawSquare(hwnd, 20, 20);
    ZoomPresentEnd();
    EXPECT_EQ(ZoomPresentCount(), n0 + 2);

    ZoomSurfacesFree();
    nZoom = 1;
    DestroyWindow(hwnd);
}

} // namespace
