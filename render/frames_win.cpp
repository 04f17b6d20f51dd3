// The frames on a device context (render/draw.h draws them), and the pause
// logo on the main window with its complaint when the logo will not load.
#include "render/render_win.h"
#include "render/screen.h"

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
    const int n = ScreenShowPauseLogo(bShow);
    if (n < 0) pfnRenderMessageBox(NULL, "Pause logo is invalid", "DEBUG", MB_OK);
    return n != 0;
}
