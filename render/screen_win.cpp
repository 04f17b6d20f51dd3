// The main window's two faces: the game screen and the animated title screen.
#include <cstdio>

#include "prefs/prefs.h"
#include "render/render_win.h"
#include "render/zoom_win.h"

int nChaseTicks;
int nChaseStep;
int nChasePrev;
int nFramedButton;

const COLORREF aButtonFrameColor[NUM_BUTTONS] = {
    RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 255, 0),
    RGB(0, 0, 255), RGB(0, 255, 255), RGB(255, 0, 255),
};

namespace {

// The inside of the credits band is white in the window's picture (painted
// so, or blanked while inactive, and nothing drawn there since): an inactive
// title then has nothing to blank again.
int bCreditsBandBlank;

// A black-outlined rectangle filled light grey.
void LightGreyRect(HDC hdc, int left, int top, int right, int bottom) {
    OnPicture(hdc, [&](Picture* pPic) {
        return PictureRectangle(pPic, PictureRect{left, top, right, bottom}, &kPicBlack,
                                &kPicLightGrey);
    });
}

// A black-outlined rectangle filled white (or, without the pen, white alone).
void WhiteRect(HDC hdc, int left, int top, int right, int bottom, int bPen) {
    OnPicture(hdc, [&](Picture* pPic) {
        return PictureRectangle(pPic, PictureRect{left, top, right, bottom},
                                bPen ? &kPicBlack : nullptr, &kPicWhite);
    });
}

void RightPanelPaint(HDC hdc) {
    LightGreyRect(hdc, 505, 34, 600, 450);
    DrawExtrudedFrame(hdc, RECT{506, 34, 598, 450}, 10, 1);
}

// A box of the title screen holding one picture.
void TitleBoxPaint(HDC hdc, int top, int bottom, const char* szPicture) {
    LightGreyRect(hdc, 85, top, 420, bottom);
    HBITMAP hbm = LoadGameBitmap(szPicture);
    if (hbm) {
        DrawBitmap(hdc, hbm, 105, (short)top);
        DeleteObject(hbm);
    }
    DrawExtrudedFrame(hdc, RECT{85, top, 419, bottom}, 5, 1);
}

void GameScreenPaint(HDC hdc) {
    bCreditsBandBlank = 0;
    PaintBackground(hdc, game.nLevel);
    RightPanelPaint(hdc);
    LightGreyRect(hdc, 29, 34, 248, 450);
    DrawExtrudedFrame(hdc, RECT{29, 34, 247, 450}, 10, 0);
    // The paddle zone and the bins, white.
    WhiteRect(hdc, aLaneX[0] - 1, 301, aLaneX[4] + 42, aRowY[0] + 14, 1);
    DrawBins(hdc);
    LightGreyRect(hdc, aLaneX[0] - 1, 34, aLaneX[4] + 42, 302);
    DrawExtrudedFrame(hdc, RECT{aLaneX[0] - 1, 34, aLaneX[4] + 41, 450}, 10, 0);
    if (game.bPaused) ShowPauseLogo(1);
    // The held tiles and the falling tiles come back with the next paddle
    // redraw and the next play tick.
    DrawPaddle(hdc, 1);
}

// The whole title screen.
void TitleScreenPaint(HDC hdc) {
    if (game.hwndPanel) ShowWindow((HWND)game.hwndPanel, SW_HIDE);
    PaintBackground(hdc, -1);
    RightPanelPaint(hdc);
    LightGreyRect(hdc, 29, 34, aLaneX[4] + 42, 450);
    DrawExtrudedFrame(hdc, RECT{29, 34, 479, 450}, 10, 1);
    TitleBoxPaint(hdc, 105, 225, "MAINTITLE");
    TitleBoxPaint(hdc, 270, 390, "MAINCREDITS");
    WhiteRect(hdc, 90, 230, 424, 260, 1); // the credits band
    for (const FallingTile& t : game.aTitleTiles)
        DrawBitmap(hdc, TileFrameBitmap(t.nColor, t.nFrame), (short)t.x, (short)t.y);
    bCreditsBandBlank = 1;
    FrameButton(RenderMainWindow(), -1, 1);
}

// The credits band's window onto the credits bitmap.
void CreditsBandCopy(HDC hdc) {
    PictureBitmap bmp;
    if (!PictureBitmapOf(hCreditsBitmap, &bmp)) return;
    OnPicture(hdc, [&](Picture* pPic) {
        return PictureBlit(
            pPic, 94, 231,
            PictureBitmapPart(bmp, game.nCreditsOffset, 0, CREDITS_BAND_W, CREDITS_BAND_H));
    });
    ZoomMarkDC(hdc);
    bCreditsBandBlank = 0;
}

} // namespace

int PaintBackground(HDC hdc, int nLevel) {
    char szName[16];
    if (nLevel == -1 || !prefs.bPatterns)
        snprintf(szName, sizeof szName, "LEVEL1");
    else
        snprintf(szName, sizeof szName, "LEVEL%d", nLevel);
    HBITMAP hbmPattern = LoadGameBitmap(szName);
    if (!hbmPattern) return 1; // no pattern, nothing to lay
    PictureBitmap bmp;
    if (PictureBitmapOf(hbmPattern, &bmp) && bmp.w > 0 && bmp.h > 0) {
        OnPicture(hdc, [&](Picture* pPic) {
            // Laid over the screen only: what lies outside stays as it was.
            const PictureRect rcOld = PictureClipTo(pPic, PictureRect{0, 0, SCREEN_W, SCREEN_H});
            // Inclusive counts: the last column and row may be cut or lie outside.
            for (int i = 0; i <= SCREEN_W / bmp.w; i++)
                for (int j = 0; j <= SCREEN_H / bmp.h; j++)
                    PictureBlit(pPic, bmp.w * i, bmp.h * j, bmp);
            pPic->rcClip = rcOld;
            return 1;
        });
    }
    DeleteObject(hbmPattern);
    return 1;
}

int PaintMainWindow(HDC hdc) {
    if (game.bGameRunning)
        GameScreenPaint(hdc);
    else
        TitleScreenPaint(hdc);
    return 1;
}

int TitleTick(HWND hwndMain) {
    if (pfnRenderActiveWindow() != hwndMain) {
        // Inactive: the band goes blank and the credits start over. A band
        // already blank is left as it is, so an inactive title draws nothing.
        const int bBlank = bCreditsBandBlank && game.nCreditsOffset == 0;
        game.nCreditsOffset = 0;
        if (bBlank) return 1;
        HDC hdc = pfnRenderGetDC(hwndMain);
        if (hdc) {
            WhiteRect(hdc, 91, 231, 424, 260, 0);
            pfnRenderReleaseDC(hwndMain, hdc);
            bCreditsBandBlank = 1;
        }
        return 1;
    }
    HDC hdc = pfnRenderGetDC(hwndMain);
    // An offset from anywhere else starts the credits again.
    if (game.nCreditsOffset < 0 || game.nCreditsOffset > CREDITS_LAST_OFFSET)
        game.nCreditsOffset = 0;
    if (hdc) CreditsBandCopy(hdc);
    game.nCreditsOffset += CREDITS_STEP;
    if (game.nCreditsOffset > CREDITS_LAST_OFFSET + 1) game.nCreditsOffset = 0;

    // The two halves of the title tiles turn on alternate ticks.
    const int nFirst = game.nCreditsOffset % 2 == 0 ? 0 : NUM_TITLE_TILES / 2;
    for (int i = nFirst; i < nFirst + NUM_TITLE_TILES / 2; i++) {
        FallingTile& t = game.aTitleTiles[i];
        if (hdc) DrawBitmap(hdc, TileFrameBitmap(t.nColor, t.nFrame), (short)t.x, (short)t.y);
        t.nFrame = t.nFrame >= NUM_FRAMES - 1 || t.nFrame < 0 ? 0 : t.nFrame + 1;
    }
    if (hdc) pfnRenderReleaseDC(hwndMain, hdc);
    return 1;
}

int ButtonChaseTick(HWND hwndMain) {
    nChaseTicks += 1;
    if (nChaseTicks < CHASE_TICKS) return 0;
    nChaseTicks = 0;
    nChaseStep += 1;
    if (nChaseStep >= CHASE_STEPS) nChaseStep = 0;
    if (nChaseStep < NUM_BUTTONS) {
        FrameButton(hwndMain, nChasePrev, 0);
        FrameButton(hwndMain, nChaseStep, 1);
        nChasePrev = nChaseStep;
    } else if (nChaseStep == NUM_BUTTONS) {
        FrameButton(hwndMain, nChasePrev, 0);
    }
    return 1;
}

int FrameButton(HWND hwndParent, int nButton, int bOn) {
    if (nButton == -1) nButton = nFramedButton;
    if (nButton < 0 || nButton >= NUM_BUTTONS) return 0;
    if (bOn) nFramedButton = nButton;
    HWND hwndButton = ahwndButton[nButton];
    if (!hwndParent || !hwndButton) return 0;

    // The button's rectangle in the parent's picture, grown by 2.
    RECT rc;
    GetClientRect(hwndButton, &rc);
    POINT aCorner[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
    for (POINT& pt : aCorner) {
        ClientToScreen(hwndButton, &pt);
        ScreenToClient(hwndParent, &pt);
        pt = ZoomClientToDesign(hwndParent, pt);
    }
    rc = RECT{aCorner[0].x - 2, aCorner[0].y - 2, aCorner[1].x + 2, aCorner[1].y + 2};

    HDC hdc = pfnRenderGetDC(hwndParent);
    if (!hdc) return 0;
    const PictureColor cr = bOn ? PictureColorOf(aButtonFrameColor[nButton]) : kPicLightGrey;
    OnPicture(hdc, [&](Picture* pPic) {
        PictureFrame(pPic, PictureRect{rc.left, rc.top, rc.right, rc.bottom}, cr);
        return PictureFrame(pPic, PictureRect{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1},
                            cr);
    });
    pfnRenderReleaseDC(hwndParent, hdc);
    return 1;
}
