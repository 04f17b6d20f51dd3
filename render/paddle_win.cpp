// The bins, the paddle with the tiles it holds, and the paddle's lamps, on a
// device context (render/draw.h draws them).
#include "render/render_win.h"

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
    return OnPicture(hdc, [&](Picture* pPic) { return DrawPaddleStack(*pPic, dwNow); });
}

int ErasePaddleStack(HDC hdc) {
    if (game.nPaddleLane < 0 || game.nPaddleLane >= NUM_LANES) return 0;
    return OnPicture(hdc, [](Picture* pPic) { return ErasePaddleStack(*pPic); });
}
