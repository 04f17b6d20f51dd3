// The raised-slab look of the panels, the sunken bevel and the pause logo.
#include "render/render_win.h"

int DrawExtrudedFrame(HDC hdc, RECT rc, int nDepth, int bBevel) {
    const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom, d = nDepth;
    OnPicture(hdc, [&](Picture* pPic) {
        // The right face, then the top face, slanting up and to the right.
        const PicturePoint aRight[5] = {
            {R, T}, {R + d, T - d}, {R + d, B - d - 1}, {R, B - 1}, {R, T}};
        PicturePolygon(pPic, aRight, 5, kPicBlack, kPicGrey);
        const PicturePoint aTop[5] = {{L, T}, {L + d, T - d}, {R + d, T - d}, {R, T}, {L, T}};
        PicturePolygon(pPic, aTop, 5, kPicBlack, kPicGrey);
        if (bBevel) {
            const int l = L + 1, t = T + 1, r = R - 1, b = B - 2;
            PictureLine(pPic, l, b, l, t, kPicWhite);
            PictureLine(pPic, l, t, r, t, kPicWhite);
            PictureLine(pPic, r, t, r, b, kPicShadow);
            PictureLine(pPic, r, b, l, b, kPicShadow);
        }
        return 1;
    });
    return 1;
}

int DrawSunkenBevel(HDC hdc, int left, int top, int right, int bottom, int nCount) {
    if (nCount <= 0) return 1;
    OnPicture(hdc, [&](Picture* pPic) {
        for (int i = 0; i < nCount; i++) {
            // Shadow on the left and top, highlight on the right and bottom.
            const int l = left + i, t = top + i, r = right - i, b = bottom - i;
            PictureLine(pPic, l, b, l, t, kPicShadow);
            PictureLine(pPic, l, t, r, t, kPicShadow);
            PictureLine(pPic, r, t, r, b, kPicWhite);
            PictureLine(pPic, r, b, l, b, kPicWhite);
        }
        return 1;
    });
    return 1;
}

int ShowPauseLogo(int bShow) {
    HWND hwnd = RenderMainWindow();
    HDC hdc = pfnRenderGetDC(hwnd);
    if (!hdc) return 0;
    // The inside of the lanes: empty light grey, every falling tile gone.
    const RECT rcLanes = {aLaneX[0], 35, aLaneX[4] + 41, 301};
    OnPicture(hdc, [&](Picture* pPic) {
        return PictureFill(pPic,
                           PictureRect{rcLanes.left, rcLanes.top, rcLanes.right, rcLanes.bottom},
                           kPicLightGrey);
    });
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
