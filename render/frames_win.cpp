// The raised-slab look of the panels, the sunken bevel and the pause logo.
#include "render/render_win.h"

namespace {

const COLORREF kShadow = RGB(127, 127, 127);

} // namespace

int DrawExtrudedFrame(HDC hdc, RECT rc, int nDepth, int bBevel) {
    const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom, d = nDepth;
    HGDIOBJ hbrOld = SelectObject(hdc, GetStockObject(GRAY_BRUSH));
    HGDIOBJ hpenOld = SelectObject(hdc, GetStockObject(BLACK_PEN));
    // The right face, then the top face, slanting up and to the right.
    const POINT aRight[5] = {{R, T}, {R + d, T - d}, {R + d, B - d - 1}, {R, B - 1}, {R, T}};
    Polygon(hdc, aRight, 5);
    const POINT aTop[5] = {{L, T}, {L + d, T - d}, {R + d, T - d}, {R, T}, {L, T}};
    Polygon(hdc, aTop, 5);
    SelectObject(hdc, hbrOld);
    SelectObject(hdc, hpenOld);

    if (bBevel) {
        const int l = L + 1, t = T + 1, r = R - 1, b = B - 2;
        hpenOld = SelectObject(hdc, GetStockObject(WHITE_PEN));
        MoveToEx(hdc, l, b, NULL);
        LineTo(hdc, l, t);
        LineTo(hdc, r, t);
        HPEN hpenShadow = CreatePen(PS_SOLID, 1, kShadow);
        SelectObject(hdc, hpenShadow);
        LineTo(hdc, r, b);
        LineTo(hdc, l, b);
        SelectObject(hdc, hpenOld);
        DeleteObject(hpenShadow);
    }
    return 1;
}

int DrawSunkenBevel(HDC hdc, int left, int top, int right, int bottom, int nCount) {
    if (nCount <= 0) return 1;
    HPEN hpenShadow = CreatePen(PS_SOLID, 1, kShadow);
    HGDIOBJ hpenOld = SelectObject(hdc, hpenShadow);
    for (int i = 0; i < nCount; i++) {
        // Shadow on the left and top, highlight on the right and bottom.
        SelectObject(hdc, hpenShadow);
        MoveToEx(hdc, left + i, bottom - i, NULL);
        LineTo(hdc, left + i, top + i);
        LineTo(hdc, right - i, top + i);
        SelectObject(hdc, GetStockObject(WHITE_PEN));
        LineTo(hdc, right - i, bottom - i);
        LineTo(hdc, left + i, bottom - i);
    }
    SelectObject(hdc, hpenOld);
    DeleteObject(hpenShadow);
    return 1;
}

int ShowPauseLogo(int bShow) {
    HWND hwnd = RenderMainWindow();
    HDC hdc = pfnRenderGetDC(hwnd);
    if (!hdc) return 0;
    // The inside of the lanes: empty light grey, every falling tile gone.
    const RECT rcLanes = {aLaneX[0], 35, aLaneX[4] + 41, 301};
    FillRect(hdc, &rcLanes, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
    if (bShow) {
        HBITMAP hbmLogo = LoadGameBitmap("PAUSEDLOGO");
        if (hbmLogo) {
            DrawBitmapCentered(hdc, hbmLogo, rcLanes.left, rcLanes.top, rcLanes.right,
                               rcLanes.bottom);
            DeleteObject(hbmLogo);
        } else {
            pfnRenderMessageBox(NULL, "Pause logo is invalid", "DEBUG", MB_OK);
        }
    }
    pfnRenderReleaseDC(hwnd, hdc);
    return 1;
}
