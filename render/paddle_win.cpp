// The bins, the paddle with the tiles it holds, and the paddle's lamps, on a
// device context (render/draw.h draws them).
#include "render/render_win.h"

namespace {

// The routine f on hdc's picture, or on the main window's when hdc is NULL.
template <class F> int OnMainOr(HDC hdc, F f) {
    HWND hwnd = RenderMainWindow();
    HDC hdcUse = hdc ? hdc : pfnRenderGetDC(hwnd);
    if (!hdcUse) return 0;
    const int n = OnPicture(hdcUse, [&](Picture* pPic) { return f(*pPic); });
    if (!hdc) pfnRenderReleaseDC(hwnd, hdcUse);
    return n;
}

} // namespace

int DrawBins(HDC hdc) {
    OnPicture(hdc, [](Picture* pPic) { return DrawBins(*pPic); });
    return 1;
}

int DrawBinGrid(HDC hdc, const TileColor* aCell, int dx, int dy) {
    OnPicture(hdc, [&](Picture* pPic) { return DrawBinGrid(*pPic, aCell, dx, dy); });
    return 1;
}

int DrawPaddle(HDC hdc, int bForce) {
    const uint32_t dwNow = pfnRenderTickCount();
    return OnPicture(hdc, [&](Picture* pPic) { return DrawPaddle(*pPic, bForce, dwNow); });
}

int DrawPaddleStack(HDC hdc) {
    if (!game.bGameRunning) return 0;
    const uint32_t dwNow = pfnRenderTickCount();
    return OnMainOr(hdc, [&](Picture& pic) { return DrawPaddleStack(pic, dwNow); });
}

int ErasePaddleStack(HDC hdc) {
    if (game.nPaddleLane < 0 || game.nPaddleLane >= NUM_LANES) return 0;
    return OnMainOr(hdc, [](Picture& pic) { return ErasePaddleStack(pic); });
}

int PaddleLightTick() {
    HWND hwnd = RenderMainWindow();
    HDC hdc = pfnRenderGetDC(hwnd);
    if (!hdc) return 0;
    DrawPaddle(hdc, 0);
    pfnRenderReleaseDC(hwnd, hdc);
    return 1;
}

int StartPaddleFlash() {
    bPaddleFlash = 1;
    dwFlashStart = pfnRenderTickCount();
    return 1;
}
