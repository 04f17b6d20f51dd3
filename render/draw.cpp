// What the game draws (render/draw.h).
#include "render/draw.h"

#include <cstdio>

#include "prefs/prefs.h"

SpriteSet spriteSet;
int bSpritesStale;
void (*pfnSpritesRefresh)() = [] {};
int (*pfnPictureLoadBitmap)(const char*, PictureBitmap*) = [](const char*, PictureBitmap* pBmp) {
    *pBmp = PictureBitmap{};
    return 0;
};

int nPaddleFrame;
uint32_t dwPaddleFrameTime;
int bPaddleFlash;
uint32_t dwFlashStart;

const PictureColor aGoalCellColour[NUM_GOAL_CELL_COLORS] = {
    PictureRGB(127, 0, 0), PictureRGB(255, 255, 0), PictureRGB(255, 0, 0), PictureRGB(0, 255, 255),
    PictureRGB(0, 0, 255), PictureRGB(255, 0, 255), PictureRGB(0, 255, 0), PictureRGB(0, 127, 0),
};
const PictureColor aButtonFrameColour[6] = {
    PictureRGB(255, 0, 0), PictureRGB(255, 255, 0), PictureRGB(0, 255, 0),
    PictureRGB(0, 0, 255), PictureRGB(0, 255, 255), PictureRGB(255, 0, 255),
};

namespace {

// The inside of the credits band is white in the window's picture (painted
// so, or blanked while inactive, and nothing drawn there since): an inactive
// title then has nothing to blank again.
int bCreditsBandBlank;

const PictureBitmap& TileFrame(int nColor, int nFrame) {
    static const PictureBitmap none = {};
    if (nColor < 0 || nColor >= NUM_COLORS || nFrame < 0 || nFrame >= NUM_FRAMES) return none;
    return Sprites().aTileFrame[nColor][nFrame];
}

const PictureBitmap& FlatTile(int nColor) {
    static const PictureBitmap none = {};
    if (nColor < 0 || nColor >= NUM_COLORS) return none;
    return Sprites().aFlatTile[nColor];
}

// A sprite: one piece of what the platform shows next.
void Sprite(Picture& pic, int x, int y, const PictureBitmap& bmp) {
    if (!bmp.pPixels) return;
    PictureBlit(&pic, x, y, bmp);
    PictureMark(&pic);
}

// A named bitmap drawn once; 0 when it did not load.
int NamedBitmap(Picture& pic, const char* szName, int x, int y) {
    PictureBitmap bmp;
    if (!pfnPictureLoadBitmap(szName, &bmp)) return 0;
    Sprite(pic, x, y, bmp);
    return 1;
}

// More than nPeriod milliseconds since dwSince. Unsigned differences stay
// right across the tick count's wrap, and a time left over from long ago
// (at start-up the lamp time is 0, whatever the count says) counts as due
// instead of seeming to lie in the future.
int TicksOver(uint32_t dwNow, uint32_t dwSince, uint32_t nPeriod) {
    return (uint32_t)(dwNow - dwSince) > nPeriod;
}

bool LaneValid(int nLane) {
    return nLane >= 0 && nLane < NUM_LANES;
}

int HeldCount() {
    if (game.nHeld < 0) return 0;
    return game.nHeld > MAX_HELD ? MAX_HELD : game.nHeld;
}

// A black-outlined rectangle filled light grey, or white.
void LightGreyRect(Picture& pic, int left, int top, int right, int bottom) {
    PictureRectangle(&pic, PictureRect{left, top, right, bottom}, &kPicBlack, &kPicLightGrey);
}
void WhiteRect(Picture& pic, int left, int top, int right, int bottom) {
    PictureRectangle(&pic, PictureRect{left, top, right, bottom}, &kPicBlack, &kPicWhite);
}

void RightPanelPaint(Picture& pic) {
    LightGreyRect(pic, 505, 34, 600, 450);
    DrawExtrudedFrame(pic, PictureRect{506, 34, 598, 450}, 10, 1);
}

// A box of the title screen holding one picture.
void TitleBoxPaint(Picture& pic, int top, int bottom, const char* szPicture) {
    LightGreyRect(pic, 85, top, 420, bottom);
    NamedBitmap(pic, szPicture, 105, top);
    DrawExtrudedFrame(pic, PictureRect{85, top, 419, bottom}, 5, 1);
}

// The credits band's window onto the credits bitmap.
void CreditsBandCopy(Picture& pic) {
    const PictureBitmap& bmp = Sprites().credits;
    if (!bmp.pPixels) return;
    PictureBlit(&pic, 94, 231,
                PictureBitmapPart(bmp, game.nCreditsOffset, 0, CREDITS_BAND_W, CREDITS_BAND_H));
    PictureMark(&pic);
    bCreditsBandBlank = 0;
}

} // namespace

const SpriteSet& Sprites() {
    if (bSpritesStale) {
        bSpritesStale = 0;
        pfnSpritesRefresh();
    }
    return spriteSet;
}

// --- Frames and the pause logo ---------------------------------------------------------------

int DrawExtrudedFrame(Picture& pic, PictureRect rc, int nDepth, int bBevel) {
    const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom, d = nDepth;
    // The right face, then the top face, slanting up and to the right.
    const PicturePoint aRight[5] = {{R, T}, {R + d, T - d}, {R + d, B - d - 1}, {R, B - 1}, {R, T}};
    PicturePolygon(&pic, aRight, 5, kPicBlack, kPicGrey);
    const PicturePoint aTop[5] = {{L, T}, {L + d, T - d}, {R + d, T - d}, {R, T}, {L, T}};
    PicturePolygon(&pic, aTop, 5, kPicBlack, kPicGrey);
    if (bBevel) {
        const int l = L + 1, t = T + 1, r = R - 1, b = B - 2;
        PictureLine(&pic, l, b, l, t, kPicWhite);
        PictureLine(&pic, l, t, r, t, kPicWhite);
        PictureLine(&pic, r, t, r, b, kPicShadow);
        PictureLine(&pic, r, b, l, b, kPicShadow);
    }
    return 1;
}

int DrawSunkenBevel(Picture& pic, int left, int top, int right, int bottom, int nCount) {
    for (int i = 0; i < nCount; i++) {
        // Shadow on the left and top, highlight on the right and bottom.
        const int l = left + i, t = top + i, r = right - i, b = bottom - i;
        PictureLine(&pic, l, b, l, t, kPicShadow);
        PictureLine(&pic, l, t, r, t, kPicShadow);
        PictureLine(&pic, r, t, r, b, kPicWhite);
        PictureLine(&pic, r, b, l, b, kPicWhite);
    }
    return 1;
}

int ShowPauseLogo(Picture& pic, int bShow) {
    // The inside of the lanes: empty light grey, every falling tile gone.
    const PictureRect rcLanes = {aLaneX[0], 35, aLaneX[4] + 41, 301};
    PictureFill(&pic, rcLanes, kPicLightGrey);
    if (!bShow) return 1;
    PictureBitmap bmp;
    if (!pfnPictureLoadBitmap("PAUSEDLOGO", &bmp)) return 0;
    PictureBlitCentered(&pic, bmp, rcLanes);
    return 1;
}

// --- The main window's two faces ---------------------------------------------------------------

int PaintBackground(Picture& pic, int nLevel) {
    char szName[16];
    if (nLevel == -1 || !prefs.bPatterns)
        snprintf(szName, sizeof szName, "LEVEL1");
    else
        snprintf(szName, sizeof szName, "LEVEL%d", nLevel);
    PictureBitmap bmp;
    if (!pfnPictureLoadBitmap(szName, &bmp) || bmp.w <= 0 || bmp.h <= 0) return 1;
    // Laid over the screen only: what lies outside stays as it was.
    const PictureRect rcOld = PictureClipTo(&pic, PictureRect{0, 0, SCREEN_W, SCREEN_H});
    // Inclusive counts: the last column and row may be cut or lie outside.
    for (int i = 0; i <= SCREEN_W / bmp.w; i++)
        for (int j = 0; j <= SCREEN_H / bmp.h; j++) PictureBlit(&pic, bmp.w * i, bmp.h * j, bmp);
    pic.rcClip = rcOld;
    return 1;
}

int GameScreenPaint(Picture& pic, uint32_t dwNow) {
    bCreditsBandBlank = 0;
    PaintBackground(pic, game.nLevel);
    RightPanelPaint(pic);
    LightGreyRect(pic, 29, 34, 248, 450);
    DrawExtrudedFrame(pic, PictureRect{29, 34, 247, 450}, 10, 0);
    // The paddle zone and the bins, white.
    WhiteRect(pic, aLaneX[0] - 1, 301, aLaneX[4] + 42, aRowY[0] + 14);
    DrawBins(pic);
    LightGreyRect(pic, aLaneX[0] - 1, 34, aLaneX[4] + 42, 302);
    DrawExtrudedFrame(pic, PictureRect{aLaneX[0] - 1, 34, aLaneX[4] + 41, 450}, 10, 0);
    int nResult = 1;
    if (game.bPaused) nResult = ShowPauseLogo(pic, 1);
    // The held tiles and the falling tiles come back with the next paddle
    // redraw and the next play tick.
    DrawPaddle(pic, 1, dwNow);
    return nResult;
}

int TitleScreenPaint(Picture& pic) {
    PaintBackground(pic, -1);
    RightPanelPaint(pic);
    LightGreyRect(pic, 29, 34, aLaneX[4] + 42, 450);
    DrawExtrudedFrame(pic, PictureRect{29, 34, 479, 450}, 10, 1);
    TitleBoxPaint(pic, 105, 225, "MAINTITLE");
    TitleBoxPaint(pic, 270, 390, "MAINCREDITS");
    WhiteRect(pic, 90, 230, 424, 260); // the credits band
    for (const FallingTile& t : game.aTitleTiles)
        Sprite(pic, t.x, t.y, TileFrame(t.nColor, t.nFrame));
    bCreditsBandBlank = 1;
    return 1;
}

int TitleTick(Picture& pic, int bActive) {
    if (!bActive) {
        // Inactive: the band goes blank and the credits start over. A band
        // already blank is left as it is, so an inactive title draws nothing.
        const int bBlank = bCreditsBandBlank && game.nCreditsOffset == 0;
        game.nCreditsOffset = 0;
        if (bBlank) return 1;
        PictureRectangle(&pic, PictureRect{91, 231, 424, 260}, nullptr, &kPicWhite);
        bCreditsBandBlank = 1;
        return 1;
    }
    // An offset from anywhere else starts the credits again.
    if (game.nCreditsOffset < 0 || game.nCreditsOffset > CREDITS_LAST_OFFSET)
        game.nCreditsOffset = 0;
    CreditsBandCopy(pic);
    game.nCreditsOffset += CREDITS_STEP;
    if (game.nCreditsOffset > CREDITS_LAST_OFFSET + 1) game.nCreditsOffset = 0;

    // The two halves of the title tiles turn on alternate ticks.
    const int nFirst = game.nCreditsOffset % 2 == 0 ? 0 : NUM_TITLE_TILES / 2;
    for (int i = nFirst; i < nFirst + NUM_TITLE_TILES / 2; i++) {
        FallingTile& t = game.aTitleTiles[i];
        Sprite(pic, t.x, t.y, TileFrame(t.nColor, t.nFrame));
        t.nFrame = t.nFrame >= NUM_FRAMES - 1 || t.nFrame < 0 ? 0 : t.nFrame + 1;
    }
    return 1;
}

int TitleTickDraws(int bActive) {
    return bActive || !bCreditsBandBlank || game.nCreditsOffset != 0;
}

int FrameButton(Picture& pic, int nButton, PictureRect rc, int bOn) {
    if (nButton < 0 || nButton >= 6) return 0;
    const PictureColor cr = bOn ? aButtonFrameColour[nButton] : kPicLightGrey;
    PictureFrame(&pic, rc, cr);
    PictureFrame(&pic, PictureRect{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1}, cr);
    return 1;
}

// --- Bins and paddle ---------------------------------------------------------------------------

int DrawBins(Picture& pic) {
    return DrawBinGrid(pic, game.aBinCell, 0, 0);
}

int DrawBinGrid(Picture& pic, const TileColor* aCell, int dx, int dy) {
    for (int b = 0; b < NUM_LANES; b++) {
        for (int r = 0; r < NUM_ROWS; r++) {
            TileColor v = aCell[b * NUM_ROWS + r];
            const PictureBitmap* pBmp = v == TILE_NONE ? &Sprites().flatErase : &FlatTile(v);
            if (!pBmp->pPixels)
                pBmp = &Sprites().flatErase; // a value that is no colour shows empty
            Sprite(pic, aLaneX[b] + dx, aRowY[r] + dy, *pBmp);
        }
    }
    const int xLeft = aLaneX[0] - 1 + dx, xRight = aLaneX[4] + 42 + dx;
    const int yBottom = aRowY[0] + 13 + dy, yTop = aRowY[4] - 3 + dy;
    for (int r = 0; r < NUM_ROWS; r++)
        PictureLine(&pic, xLeft, aRowY[r] + 13 + dy, xRight, aRowY[r] + 13 + dy, kPicBlack);
    PictureLine(&pic, xLeft, yTop, xRight, yTop, kPicBlack);
    for (int b = 0; b < NUM_LANES; b++)
        PictureLine(&pic, aLaneX[b] - 1 + dx, yBottom, aLaneX[b] - 1 + dx, yTop, kPicBlack);
    PictureLine(&pic, aLaneX[4] + 41 + dx, yBottom, aLaneX[4] + 41 + dx, yTop, kPicBlack);
    return 1;
}

int DrawPaddle(Picture& pic, int bForce, uint32_t dwNow) {
    if (TicksOver(dwNow, dwPaddleFrameTime, PADDLE_STEP_MS)) {
        dwPaddleFrameTime = dwNow;
        nPaddleFrame = nPaddleFrame >= PADDLE_ALL_LIT - 1 ? 0 : nPaddleFrame + 1;
        bForce = 1;
    }
    int bDrawn = 0;
    if (LaneValid(game.nPaddleLane) && (bPaddleFlash || bForce)) {
        const int nFrame = bPaddleFlash ? PADDLE_ALL_LIT : nPaddleFrame;
        Sprite(pic, aLaneX[game.nPaddleLane], game.nPaddleY, Sprites().aPaddle[nFrame]);
        bDrawn = 1;
    }
    if (bPaddleFlash && TicksOver(dwNow, dwFlashStart, PADDLE_FLASH_MS)) bPaddleFlash = 0;
    return bDrawn;
}

int DrawPaddleStack(Picture& pic, uint32_t dwNow) {
    if (!game.bGameRunning) return 0;
    DrawPaddle(pic, 1, dwNow);
    if (LaneValid(game.nPaddleLane)) {
        const int x = aLaneX[game.nPaddleLane];
        for (int i = 0; i < HeldCount(); i++)
            Sprite(pic, x, game.nPaddleY - 10 - 10 * i, FlatTile(game.aHeld[i]));
    }
    return 1;
}

int ErasePaddleStack(Picture& pic) {
    if (!LaneValid(game.nPaddleLane)) return 0;
    const int x = aLaneX[game.nPaddleLane];
    Sprite(pic, x, game.nPaddleY, Sprites().playerErase);
    for (int i = 0; i < HeldCount(); i++)
        Sprite(pic, x, game.nPaddleY - 10 - 10 * i, Sprites().flatErase);
    return 1;
}

int DrawPaddleAt(Picture& pic, int x, int yPaddle, const TileColor* aHeld, int nHeld) {
    Sprite(pic, x, yPaddle, Sprites().aPaddle[PADDLE_ALL_LIT]);
    for (int i = 0; i < nHeld; i++) Sprite(pic, x, yPaddle - 10 - 10 * i, FlatTile(aHeld[i]));
    return 1;
}

// --- The goal picture ----------------------------------------------------------------------------

int DrawGoalPictureOn(Picture* pPic) {
    const int nKind = GoalKind();
    // The plain picture, which also wipes the previous example.
    PictureBitmap bmp;
    if (pfnPictureLoadBitmap(GoalPictureName(nKind), &bmp) && pPic)
        Sprite(*pPic, GOAL_PIC_X, GOAL_PIC_Y, bmp);
    GoalStep step;
    if (!GoalPictureStep(nKind, &step)) return 1;
    if (!pPic || step.nCells == 0) return 1;
    return DrawGoalCells(*pPic, step);
}

int DrawGoalCells(Picture& pic, const GoalStep& step) {
    const PictureColor crCell = aGoalCellColour[step.nColor & 7];
    for (int i = 0; i < step.nCells; i++) {
        GoalRect rc = GoalCellRect(step.pCells[i].nCol, step.pCells[i].nRow);
        PictureRectangle(&pic, PictureRect{rc.left, rc.top, rc.right, rc.bottom}, &kPicBlack,
                         &crCell);
    }
    return 1;
}
