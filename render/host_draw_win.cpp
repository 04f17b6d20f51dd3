// The Win32 side of the portable screen (render/screen.h): the pictures of
// the main window and the side panel, and their release, which shows what
// changed.
//
// A window with a back buffer hands out the buffer's own picture
// (ZoomSurfacePictureOf, through PictureDCBegin); giving its context back
// copies what changed to the window, so a batch is one context held and one
// copy. A window without one (the tests' stand-in contexts) hands out the
// picture of its context: drawn on in place, or a copy of its clip box put
// back at the end.
#include "render/render_win.h"
#include "render/screen.h"
#include "render/zoom_win.h"
#include "shell/host_win.h"

namespace {

struct Held {
    HWND hwnd;
    HDC hdc;
    PictureDC scope;
    Picture none; // what is drawn on when the context has no picture to give
};
Held aHeld[2];

Picture* WinPictureBegin(int nWhich) {
    if (nWhich != SCREEN_MAIN && nWhich != SCREEN_PANEL) return NULL;
    Held& h = aHeld[nWhich];
    if (h.hdc) return NULL; // a picture is handed out once at a time
    const HWND hwnd = nWhich == SCREEN_PANEL ? (HWND)game.hwndPanel : RenderMainWindow();
    if (nWhich == SCREEN_PANEL && !hwnd) return NULL;
    HDC hdc = pfnRenderGetDC(hwnd);
    if (!hdc) return NULL;
    h.hwnd = hwnd;
    h.hdc = hdc;
    Picture* pPic = PictureDCBegin(hdc, &h.scope);
    // Without pixels to draw on, the routine's steps are taken all the same.
    h.none = PictureOver(NULL, PictureRect{0, 0, 0, 0});
    return pPic ? pPic : &h.none;
}

void WinPictureEnd(int nWhich, Picture*) {
    if (nWhich != SCREEN_MAIN && nWhich != SCREEN_PANEL) return;
    Held& h = aHeld[nWhich];
    if (!h.hdc) return;
    PictureDCEnd(&h.scope);
    pfnRenderReleaseDC(h.hwnd, h.hdc);
    h = Held{};
}

uint32_t WinTickCount() {
    return pfnRenderTickCount();
}

} // namespace

const ScreenPlatform kScreenWin32 = {WinPictureBegin, WinPictureEnd, WinTickCount};

int HostLoadCreditsBitmap() {
    return LoadCreditsBitmap();
}
