// The engine's drawing operations, written once: the bins, the paddle and
// its lamps, the tiles, the pause logo, the goal picture and the blank
// rectangle, each drawn on the main window's picture (the goal picture on
// the side panel's) and ended as one piece of what the platform shows next.
//
// A platform only hands out its pictures and shows what changed on them,
// through the narrow ScreenPlatform below; both GameHost tables point their
// drawing entries here.
#pragma once

#include <cstdint>

#include "render/picture.h"

enum ScreenWhich {
    SCREEN_MAIN = 0,  // the main window, in design coordinates
    SCREEN_PANEL = 1, // the side panel's inside, in its own coordinates
};

struct ScreenPlatform {
    // The picture of the main window or the side panel to draw on now, or
    // NULL when there is none (no window, no context).
    Picture* (*PictureBegin)(int nWhich);
    // Drawing on it is over: the platform shows what changed (or keeps it for
    // its next present) and lets the picture go.
    void (*PictureEnd)(int nWhich, Picture* pPic);
    // Milliseconds, as the paddle's lamps count them.
    uint32_t (*TickCount)();
};

// Installs the platform's side (each entry set). Until then every
// operation finds no picture.
void ScreenInstall(const ScreenPlatform* pPlatform);

// A batch: every operation until the matching end draws on the one main
// picture begun here, each as a piece of its own; nested batches share the
// outermost one's. Outside a batch each operation begins and ends its own.
int ScreenBeginDrawing();
int ScreenEndDrawing();

int ScreenDrawBins();
int ScreenDrawPaddleStack();
int ScreenErasePaddleStack();
// Lights every lamp of the paddle for a moment, from now.
int ScreenStartPaddleFlash();
// Steps the paddle's lamps if they are due (every play tick of a game).
int ScreenPaddleLightTick();
// One tumbling image of colour nColor, frame nFrame, at x, y; 0 out of range.
int ScreenDrawTileFrame(int nColor, int nFrame, int x, int y);
int ScreenDrawTileErase(int x, int y);
int ScreenDrawFlatTile(int nColor, int x, int y);
// One step of the goal picture on the side panel; the step is taken even
// without a panel to draw on, so its phase and the shared random sequence
// move on as they would with it.
int ScreenDrawGoalPicture();
// The lanes emptied with the pause logo over them (bOn) or without; 1 when
// drawn, 0 with no picture, -1 when the logo did not load (the lanes are
// emptied all the same).
int ScreenShowPauseLogo(int bOn);
// The rectangle drawn with no outline and a white fill.
int ScreenBlankRect(int left, int top, int right, int bottom);
