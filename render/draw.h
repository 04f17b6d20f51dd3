// What the game draws, written once for every platform: the main window's
// two faces (the game screen and the title screen), the bins and the paddle,
// the frames and the pause logo, the goal picture's cells. Every routine
// draws on a Picture; the platform shows what changed. The bitmaps come as
// pixels: the persistent set in `sprites`, any other by name through
// pfnPictureLoadBitmap.
#pragma once

#include "engine/game.h"
#include "render/goal.h"
#include "render/picture.h"

enum {
    NUM_PADDLE_FRAMES = 9, // 0..7 the running light, 8 every lamp lit
    PADDLE_ALL_LIT = 8,
    PADDLE_STEP_MS = 266,
    PADDLE_FLASH_MS = 116,
    SCREEN_W = 640,
    SCREEN_H = 480,
    CREDITS_LAST_OFFSET = 2424,
    CREDITS_STEP = 3,
    CREDITS_BAND_W = 329,
    CREDITS_BAND_H = 28,
    CHASE_TICKS = 11,
    CHASE_STEPS = 8,
};

// The stock colours the pictures are drawn in.
constexpr PictureColor kPicBlack = PictureRGB(0, 0, 0);
constexpr PictureColor kPicWhite = PictureRGB(255, 255, 255);
constexpr PictureColor kPicGrey = PictureRGB(128, 128, 128);      // the frames' faces
constexpr PictureColor kPicLightGrey = PictureRGB(192, 192, 192); // the panels
constexpr PictureColor kPicShadow = PictureRGB(127, 127, 127);

// --- The bitmaps --------------------------------------------------------------------
// The persistent set as pixels (a bitmap that did not load has none and
// draws nothing).
struct SpriteSet {
    PictureBitmap aTileFrame[NUM_COLORS][NUM_FRAMES];
    PictureBitmap aFlatTile[NUM_COLORS];
    PictureBitmap tileErase, flatErase, playerErase;
    PictureBitmap aPaddle[NUM_PADDLE_FRAMES];
    PictureBitmap credits;
};
// The set, brought up to date first if the platform says it changed.
const SpriteSet& Sprites();
// The platform's side: the set it keeps (bSpritesStale 1 makes the next
// Sprites() call pfnSpritesRefresh, which fills spriteSet).
extern SpriteSet spriteSet;
extern int bSpritesStale;
extern void (*pfnSpritesRefresh)();
// A bitmap of the game by its resource name, for one use (valid until the
// next load); 0 when it did not load.
extern int (*pfnPictureLoadBitmap)(const char* szName, PictureBitmap* pBmp);

// --- Frames and the pause logo -------------------------------------------------------
int DrawExtrudedFrame(Picture& pic, PictureRect rc, int nDepth, int bBevel);
int DrawSunkenBevel(Picture& pic, int left, int top, int right, int bottom, int nCount);
// The lanes emptied, with the logo over them when bShow; 0 when the logo
// did not load (the lanes are emptied all the same).
int ShowPauseLogo(Picture& pic, int bShow);

// --- The main window's two faces ---------------------------------------------------------
// The level's pattern over the whole screen (nLevel -1: the title's).
int PaintBackground(Picture& pic, int nLevel);
int GameScreenPaint(Picture& pic, uint32_t dwNow);
// The title screen (the ring around the framed button is the platform's,
// which knows where the button lies).
int TitleScreenPaint(Picture& pic);
// One tick of the title: the credits band and half the tiles; bActive 0
// blanks the band instead (once).
int TitleTick(Picture& pic, int bActive);
// Whether that tick draws anything: an inactive title whose band is blank
// already draws nothing.
int TitleTickDraws(int bActive);
// Draws (bOn 1) or clears the two-pixel ring of button nButton, rc being the
// button's rectangle grown by 2.
int FrameButton(Picture& pic, int nButton, PictureRect rc, int bOn);
extern const PictureColor aButtonFrameColour[6];
// The game screen's paint returns 0 when the pause logo did not load.

// --- Bins and paddle -------------------------------------------------------------------
extern int nPaddleFrame;
extern uint32_t dwPaddleFrameTime;
extern int bPaddleFlash;
extern uint32_t dwFlashStart;

int DrawBins(Picture& pic);
int DrawBinGrid(Picture& pic, const TileColor* aCell, int dx, int dy);
// The paddle, if its lamps are due to step at dwNow or bForce; 1 if drawn.
int DrawPaddle(Picture& pic, int bForce, uint32_t dwNow);
int DrawPaddleStack(Picture& pic, uint32_t dwNow);
int ErasePaddleStack(Picture& pic);
// The paddle and held tiles of a help picture: the paddle lit at (x, yPaddle).
int DrawPaddleAt(Picture& pic, int x, int yPaddle, const TileColor* aHeld, int nHeld);

// --- The goal picture -------------------------------------------------------------------
extern const PictureColor aGoalCellColour[NUM_GOAL_CELL_COLORS];
// One step of the goal picture (panel coordinates); the step is taken even
// without a picture to draw on (pPic NULL).
int DrawGoalPictureOn(Picture* pPic);
int DrawGoalCells(Picture& pic, const GoalStep& step);
