// The drawing operations of the engine's host interface, on the main window.
//
// HostBeginDrawing takes one context of the main window for a batch of
// operations; until HostEndDrawing every operation draws through it. Outside
// a batch each operation takes and releases a context of its own.
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "shell/host_win.h"

namespace {

HDC hdcBatch;
int nBatchDepth; // nested batches share the outermost one's context

// The context an operation draws through, and its release.
HDC OpBegin() {
    return hdcBatch ? hdcBatch : pfnRenderGetDC(RenderMainWindow());
}
void OpEnd(HDC hdc) {
    if (hdc && hdc != hdcBatch) pfnRenderReleaseDC(RenderMainWindow(), hdc);
    // In a batch each operation's drawing is one piece of the batch's copy.
    if (hdc && hdc == hdcBatch) ZoomMarkDC(hdc);
}

int OpBlit(HBITMAP hbm, int x, int y) {
    HDC hdc = OpBegin();
    if (!hdc) return 0;
    DrawBitmap(hdc, hbm, (short)x, (short)y);
    OpEnd(hdc);
    return hbm != NULL;
}

} // namespace

int HostBeginDrawing() {
    if (hdcBatch) {
        nBatchDepth += 1;
        return 1;
    }
    hdcBatch = pfnRenderGetDC(RenderMainWindow());
    nBatchDepth = 0;
    return hdcBatch != NULL;
}

int HostEndDrawing() {
    if (!hdcBatch) return 0;
    if (nBatchDepth > 0) {
        nBatchDepth -= 1;
        return 1;
    }
    pfnRenderReleaseDC(RenderMainWindow(), hdcBatch);
    hdcBatch = NULL;
    return 1;
}

int HostDrawBins() {
    HDC hdc = OpBegin();
    if (!hdc) return 0;
    DrawBins(hdc);
    OpEnd(hdc);
    return 1;
}

// Notes a batch's drawing as one piece of its copy.
static int BatchMark(int nResult) {
    if (hdcBatch) ZoomMarkDC(hdcBatch);
    return nResult;
}

int HostDrawPaddleStack() {
    return BatchMark(DrawPaddleStack(hdcBatch));
}

int HostErasePaddleStack() {
    return BatchMark(ErasePaddleStack(hdcBatch));
}

int HostStartPaddleFlash() {
    return StartPaddleFlash();
}

int HostPaddleLightTick() {
    if (!hdcBatch) return PaddleLightTick();
    DrawPaddle(hdcBatch, 0);
    return BatchMark(1);
}

int HostDrawTileFrame(int nColor, int nFrame, int x, int y) {
    return OpBlit(TileFrameBitmap(nColor, nFrame), x, y);
}

int HostDrawTileErase(int x, int y) {
    return OpBlit(hTileErase, x, y);
}

int HostDrawFlatTile(int nColor, int x, int y) {
    return OpBlit(FlatTileBitmap(nColor), x, y);
}

int HostDrawGoalPicture() {
    return DrawGoalPicture();
}

int HostShowPauseLogo(int bOn) {
    return ShowPauseLogo(bOn);
}

int HostBlankRect(int left, int top, int right, int bottom) {
    HDC hdc = OpBegin();
    if (!hdc) return 0;
    OnPicture(hdc, [&](Picture* pPic) {
        return PictureRectangle(pPic, PictureRect{left, top, right, bottom}, nullptr, &kPicWhite);
    });
    OpEnd(hdc);
    return 1;
}

int HostLoadCreditsBitmap() {
    return LoadCreditsBitmap();
}
