// The bins, the paddle with the tiles it holds, and the paddle's lamps.
#include "render/render_win.h"

int nPaddleFrame;
DWORD dwPaddleFrameTime;
int bPaddleFlash;
DWORD dwFlashStart;

namespace {

// More than nPeriod milliseconds since dwSince. Unsigned differences stay
// right across the tick count's wrap, and a time left over from long ago
// (at start-up the lamp time is 0, whatever the count says) counts as due
// instead of seeming to lie in the future.
int TicksOver(DWORD dwSince, DWORD nPeriod) {
    return (DWORD)(pfnRenderTickCount() - dwSince) > nPeriod;
}

bool LaneValid(int nLane) {
    return nLane >= 0 && nLane < NUM_LANES;
}

int HeldCount() {
    if (game.nHeld < 0) return 0;
    return game.nHeld > MAX_HELD ? MAX_HELD : game.nHeld;
}

} // namespace

int DrawBins(HDC hdc) {
    return DrawBinGrid(hdc, game.aBinCell, 0, 0);
}

int DrawBinGrid(HDC hdc, const TileColor* aCell, int dx, int dy) {
    for (int b = 0; b < NUM_LANES; b++) {
        for (int r = 0; r < NUM_ROWS; r++) {
            TileColor v = aCell[b * NUM_ROWS + r];
            HBITMAP hbm = v == TILE_NONE ? hFlatErase : FlatTileBitmap(v);
            if (!hbm) hbm = hFlatErase; // a value that is no colour shows empty
            DrawBitmap(hdc, hbm, (short)(aLaneX[b] + dx), (short)(aRowY[r] + dy));
        }
    }
    const int xLeft = aLaneX[0] - 1 + dx, xRight = aLaneX[4] + 42 + dx;
    const int yBottom = aRowY[0] + 13 + dy, yTop = aRowY[4] - 3 + dy;
    OnPicture(hdc, [&](Picture* pPic) {
        for (int r = 0; r < NUM_ROWS; r++)
            PictureLine(pPic, xLeft, aRowY[r] + 13 + dy, xRight, aRowY[r] + 13 + dy, kPicBlack);
        PictureLine(pPic, xLeft, yTop, xRight, yTop, kPicBlack);
        for (int b = 0; b < NUM_LANES; b++)
            PictureLine(pPic, aLaneX[b] - 1 + dx, yBottom, aLaneX[b] - 1 + dx, yTop, kPicBlack);
        return PictureLine(pPic, aLaneX[4] + 41 + dx, yBottom, aLaneX[4] + 41 + dx, yTop,
                           kPicBlack);
    });
    return 1;
}

int DrawPaddle(HDC hdc, int bForce) {
    if (TicksOver(dwPaddleFrameTime, PADDLE_STEP_MS)) {
        dwPaddleFrameTime = pfnRenderTickCount();
        nPaddleFrame = nPaddleFrame >= PADDLE_ALL_LIT - 1 ? 0 : nPaddleFrame + 1;
        bForce = 1;
    }
    int bDrawn = 0;
    if (LaneValid(game.nPaddleLane) && (bPaddleFlash || bForce)) {
        HBITMAP hbm = ahPaddle[bPaddleFlash ? PADDLE_ALL_LIT : nPaddleFrame];
        DrawBitmap(hdc, hbm, (short)aLaneX[game.nPaddleLane], (short)game.nPaddleY);
        bDrawn = 1;
    }
    if (bPaddleFlash && TicksOver(dwFlashStart, PADDLE_FLASH_MS)) bPaddleFlash = 0;
    return bDrawn;
}

int DrawPaddleStack(HDC hdc) {
    if (!game.bGameRunning) return 0;
    HWND hwnd = RenderMainWindow();
    HDC hdcUse = hdc ? hdc : pfnRenderGetDC(hwnd);
    if (!hdcUse) return 0;
    DrawPaddle(hdcUse, 1);
    if (LaneValid(game.nPaddleLane)) {
        const short x = (short)aLaneX[game.nPaddleLane];
        for (int i = 0; i < HeldCount(); i++)
            DrawBitmap(hdcUse, FlatTileBitmap(game.aHeld[i]), x,
                       (short)(game.nPaddleY - 10 - 10 * i));
    }
    if (!hdc) pfnRenderReleaseDC(hwnd, hdcUse);
    return 1;
}

int ErasePaddleStack(HDC hdc) {
    if (!LaneValid(game.nPaddleLane)) return 0;
    HWND hwnd = RenderMainWindow();
    HDC hdcUse = hdc ? hdc : pfnRenderGetDC(hwnd);
    if (!hdcUse) return 0;
    const short x = (short)aLaneX[game.nPaddleLane];
    DrawBitmap(hdcUse, hPlayerErase, x, (short)game.nPaddleY);
    for (int i = 0; i < HeldCount(); i++)
        DrawBitmap(hdcUse, hFlatErase, x, (short)(game.nPaddleY - 10 - 10 * i));
    if (!hdc) pfnRenderReleaseDC(hwnd, hdcUse);
    return 1;
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
