// The engine's drawing operations on the platform's pictures (render/screen.h).
#include "render/screen.h"

#include "render/draw.h"

namespace {

Picture* NoPicture(int) {
    return nullptr;
}
void NoEnd(int, Picture*) {}
uint32_t NoClock() {
    return 0;
}
const ScreenPlatform kNoPlatform = {NoPicture, NoEnd, NoClock};
const ScreenPlatform* pPlatform = &kNoPlatform;

Picture* pBatch; // the main picture a batch draws on (NULL: no batch)
int nBatchDepth; // nested batches share the outermost one's picture

// The main picture an operation draws on: the batch's, or one of its own.
Picture* OpBegin() {
    return pBatch ? pBatch : pPlatform->PictureBegin(SCREEN_MAIN);
}
// Ends the operation's piece, and gives its own picture back.
void OpEnd(Picture* pPic) {
    if (!pPic) return;
    PictureMark(pPic);
    if (pPic != pBatch) pPlatform->PictureEnd(SCREEN_MAIN, pPic);
}

int OpSprite(const PictureBitmap& bmp, int x, int y) {
    Picture* pPic = OpBegin();
    if (!pPic) return 0;
    PictureBlit(pPic, x, y, bmp);
    OpEnd(pPic);
    return bmp.pPixels != nullptr;
}

} // namespace

void ScreenInstall(const ScreenPlatform* pNew) {
    pPlatform = pNew ? pNew : &kNoPlatform;
}

int ScreenBeginDrawing() {
    if (pBatch) {
        nBatchDepth += 1;
        return 1;
    }
    pBatch = pPlatform->PictureBegin(SCREEN_MAIN);
    nBatchDepth = 0;
    return pBatch != nullptr;
}

int ScreenEndDrawing() {
    if (!pBatch) return 0;
    if (nBatchDepth > 0) {
        nBatchDepth -= 1;
        return 1;
    }
    Picture* pPic = pBatch;
    pBatch = nullptr;
    PictureMark(pPic);
    pPlatform->PictureEnd(SCREEN_MAIN, pPic);
    return 1;
}

int ScreenDrawBins() {
    Picture* pPic = OpBegin();
    if (!pPic) return 0;
    DrawBins(*pPic);
    OpEnd(pPic);
    return 1;
}

int ScreenDrawPaddleStack() {
    if (!game.bGameRunning) return 0;
    Picture* pPic = OpBegin();
    if (!pPic) return 0;
    const int n = DrawPaddleStack(*pPic, pPlatform->TickCount());
    OpEnd(pPic);
    return n;
}

int ScreenErasePaddleStack() {
    if (game.nPaddleLane < 0 || game.nPaddleLane >= NUM_LANES) return 0;
    Picture* pPic = OpBegin();
    if (!pPic) return 0;
    const int n = ErasePaddleStack(*pPic);
    OpEnd(pPic);
    return n;
}

int ScreenStartPaddleFlash() {
    bPaddleFlash = 1;
    dwFlashStart = pPlatform->TickCount();
    return 1;
}

int ScreenPaddleLightTick() {
    Picture* pPic = OpBegin();
    if (!pPic) return 0;
    DrawPaddle(*pPic, 0, pPlatform->TickCount());
    OpEnd(pPic);
    return 1;
}

int ScreenDrawTileFrame(int nColor, int nFrame, int x, int y) {
    if (nColor < 0 || nColor >= NUM_COLORS || nFrame < 0 || nFrame >= NUM_FRAMES) return 0;
    return OpSprite(Sprites().aTileFrame[nColor][nFrame], x, y);
}

int ScreenDrawTileErase(int x, int y) {
    return OpSprite(Sprites().tileErase, x, y);
}

int ScreenDrawFlatTile(int nColor, int x, int y) {
    if (nColor < 0 || nColor >= NUM_COLORS) return 0;
    return OpSprite(Sprites().aFlatTile[nColor], x, y);
}

int ScreenDrawGoalPicture() {
    Picture* pPic = pPlatform->PictureBegin(SCREEN_PANEL);
    DrawGoalPictureOn(pPic);
    if (pPic) {
        PictureMark(pPic);
        pPlatform->PictureEnd(SCREEN_PANEL, pPic);
    }
    return 1;
}

int ScreenShowPauseLogo(int bOn) {
    Picture* pPic = OpBegin();
    if (!pPic) return 0;
    const int bDone = ShowPauseLogo(*pPic, bOn);
    OpEnd(pPic);
    return bDone ? 1 : -1;
}

int ScreenBlankRect(int left, int top, int right, int bottom) {
    Picture* pPic = OpBegin();
    if (!pPic) return 0;
    PictureRectangle(pPic, PictureRect{left, top, right, bottom}, nullptr, &kPicWhite);
    OpEnd(pPic);
    return 1;
}
