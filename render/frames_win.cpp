// The frames and the pause logo on a device context (render/draw.h draws them).
#include "render/render_win.h"

int DrawExtrudedFrame(HDC hdc, RECT rc, int nDepth, int bBevel) {
    OnPicture(hdc, [&](Picture* pPic) {
        return DrawExtrudedFrame(*pPic, PictureRect{rc.left, rc.top, rc.right, rc.bottom}, nDepth,
                                 bBevel);
    });
    return 1;
}

int DrawSunkenBevel(HDC hdc, int left, int top, int right, int bottom, int nCount) {
    if (nCount <= 0) return 1;
    OnPicture(hdc, [&](Picture* pPic) {
        return DrawSunkenBevel(*pPic, left, top, right, bottom, nCount);
    });
    return 1;
}

int ShowPauseLogo(int bShow) {
    HWND hwnd = RenderMainWindow();
    HDC hdc = pfnRenderGetDC(hwnd);
    if (!hdc) return 0;
    const int bDone = OnPicture(hdc, [&](Picture* pPic) { return ShowPauseLogo(*pPic, bShow); });
    if (!bDone) pfnRenderMessageBox(NULL, "Pause logo is invalid", "DEBUG", MB_OK);
    pfnRenderReleaseDC(hwnd, hdc);
    return 1;
}
