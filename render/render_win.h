// The renderer: the bitmap set and its blits, the main window's repaint and
// title screen, the bins and the paddle, the goal picture, the frames and the
// pause logo. Every pen, brush, bitmap and memory context made by a routine
// here is deleted by it, and every object it selects is selected out again.
#pragma once

#include <windows.h>

#include "engine/game.h"
#include "render/draw.h"
#include "render/picture_win.h"
#include "render/screen.h"
#include "shell/app.h" // NUM_BUTTONS, ahwndButton

// --- The platform calls the renderer goes through ------------------------------
// The shipped program uses the platform's own; the tests put in stand-ins to
// draw into memory, set the clock, choose the active window, supply bitmaps
// and see message boxes.
extern DWORD (*pfnRenderTickCount)();
extern HDC (*pfnRenderGetDC)(HWND hwnd);
extern int (*pfnRenderReleaseDC)(HWND hwnd, HDC hdc);
extern HWND (*pfnRenderActiveWindow)();
extern HBITMAP (*pfnRenderLoadBitmap)(const char* szName);
extern int (*pfnRenderMessageBox)(HWND hwnd, const char* szText, const char* szCaption, UINT uType);
// Puts the platform's own calls back.
void RenderUsePlatform();
// Whether the bitmaps come from the program's own resources (the platform's
// loader): then they are decoded from the resources' bytes.
int RenderLoadsResources();

// --- Bitmap set and blits ------------------------------------------------------
extern HBITMAP ahTileFrame[NUM_COLORS][NUM_FRAMES];
extern HBITMAP ahFlatTile[NUM_COLORS];
extern HBITMAP hTileErase;
extern HBITMAP hFlatErase;
extern HBITMAP hPlayerErase;
extern HBITMAP ahPaddle[NUM_PADDLE_FRAMES];
extern HBITMAP hCreditsBitmap;

// A bitmap resource of the program by name, decoded from its bytes into
// pStore (at most nStore pixels); 0 when there is none or it is too large.
int PictureBitmapOfResource(const char* szName, uint32_t* pStore, size_t nStore,
                            PictureBitmap* pBmp);
// A bitmap resource of the program by name (through pfnRenderLoadBitmap).
HBITMAP LoadGameBitmap(const char* szName);
// Loads the persistent tables; always 1.
int LoadBitmaps();
// Loads "CREDITS" into hCreditsBitmap; 1 if it loaded.
int LoadCreditsBitmap();
// Deletes every handle of the persistent tables and the credits bitmap and
// clears them; called once at shutdown. Returns how many it deleted.
int FreeBitmaps();
// The memory context every sprite is copied from: made at the first copy and
// kept until FreeBitmaps (one made per copy cost Wine two requests to the X
// server each time). Whoever selects a bitmap into it selects it out again.
HDC SpriteContext();
// A bitmap's pixels: the persistent set's, converted once after it loads,
// or any other bitmap's, converted for this copy (valid until the next such
// conversion). 0 for NULL or no bitmap.
int PictureBitmapOf(HBITMAP hbm, PictureBitmap* pBmp);
// The system's view of a bitmap for a copy by the system (a bitmap drawn
// straight to a window): the sprite context with it selected until
// SpriteSourceDone.
struct SpriteSource {
    HDC hdc;
    int x, y, w, h; // the bitmap's rectangle in hdc
    HGDIOBJ hbmOld; // what SpriteSourceDone selects back, if anything
};
// 0 when hbm is NULL or no bitmap (then there is nothing to undo).
int SpriteSourceOf(HBITMAP hbm, SpriteSource* pSrc);
void SpriteSourceDone(SpriteSource* pSrc);
// The tumbling image of a colour and frame, the flat tile of a colour; NULL
// out of range.
HBITMAP TileFrameBitmap(int nColor, int nFrame);
HBITMAP FlatTileBitmap(int nColor);

// Runs f(Picture*) on the picture behind hdc and returns what it returns.
// Without one (nothing of hdc to draw on) f runs on an empty picture, so the
// routine's steps (a lamp, the credits, the tiles' turns) are taken all the
// same. Routines that draw through other routines on the same context end
// one of these before they call them.
template <class F> int OnPicture(HDC hdc, F f) {
    PictureDC scope;
    Picture* pPic = PictureDCBegin(hdc, &scope);
    Picture none = PictureOver(NULL, PictureRect{0, 0, 0, 0});
    const int n = f(pPic ? pPic : &none);
    PictureDCEnd(&scope);
    return n;
}

// Copies the whole bitmap with its top-left corner at (x, y); always TRUE.
BOOL DrawBitmap(HDC hdc, HBITMAP hbm, short x, short y);
// Copies the whole bitmap centred in the rectangle (divisions truncate).
void DrawBitmapCentered(HDC hdc, HBITMAP hbm, int left, int top, int right, int bottom);

// --- Main window repaint and the title screen ----------------------------------
extern int nChaseTicks;
extern int nChaseStep;
extern int nChasePrev;
extern int nFramedButton;
extern const COLORREF aButtonFrameColor[NUM_BUTTONS];

int PaintMainWindow(HDC hdc);
int PaintBackground(HDC hdc, int nLevel); // nLevel -1: the title screen
int TitleTick(HWND hwndMain);
int ButtonChaseTick(HWND hwndMain);
// Draws (bOn 1) or clears (bOn 0) the ring around command button nButton
// (0..5, -1 for nFramedButton); 0 when there is no such button window.
int FrameButton(HWND hwndParent, int nButton, int bOn);

// --- Bins and paddle -------------------------------------------------------------
int DrawBins(HDC hdc);
// The bins holding aCell (index bin * 5 + row) and their lines, moved by
// (dx, dy) from their place in the main window.
int DrawBinGrid(HDC hdc, const TileColor* aCell, int dx, int dy);
// On the main window itself the screen draws them (render/screen.h).
int DrawPaddleStack(HDC hdc);
int ErasePaddleStack(HDC hdc);
// Returns 1 if it drew the paddle.
int DrawPaddle(HDC hdc, int bForce);

// --- Goal picture ---------------------------------------------------------------
extern const COLORREF aGoalCellColor[8];
// One step of the goal picture drawn into hdc (panel client coordinates); with a NULL hdc
// the step is taken without drawing.
int DrawGoalPictureInto(HDC hdc);
struct GoalStep;
// The cells of one example in its colour (panel client coordinates).
int DrawGoalCells(HDC hdc, const GoalStep& step);

// --- Frames and the pause logo -----------------------------------------------------
int DrawExtrudedFrame(HDC hdc, RECT rc, int nDepth, int bBevel);
int DrawSunkenBevel(HDC hdc, int left, int top, int right, int bottom, int nCount);
// The pause logo on the main window (ScreenShowPauseLogo), and a message
// box when it did not load; 0 with no picture to draw on.
int ShowPauseLogo(int bShow);

// --- The help's pictures -------------------------------------------------------------
// Draws picture nPicture of the help (render/helpdoc.h) with its top-left
// corner at (x, y), nZoomBy times its size (nearest neighbour); hfontText
// writes its line of text (sized for the zoom already; NULL: the shapes
// alone). Returns 0 for no picture.
int DrawHelpPicture(HDC hdc, int nPicture, int x, int y, HFONT hfontText, int nZoomBy);

// The main window as the renderer knows it.
inline HWND RenderMainWindow() {
    return (HWND)game.hwndMain;
}
