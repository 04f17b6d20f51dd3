// The Win32 side of the engine's host interface, split by subsystem: the
// drawing operations live in render/ (host_draw_win.cpp), the rest here.
#pragma once

#include <windows.h>

#include "engine/host.h"

// The drawing operations of the host table, implemented by the renderer.
int HostBeginDrawing();
int HostEndDrawing();
int HostDrawBins();
int HostDrawPaddleStack();
int HostErasePaddleStack();
int HostStartPaddleFlash();
int HostPaddleLightTick();
int HostDrawTileFrame(int nColor, int nFrame, int x, int y);
int HostDrawTileErase(int x, int y);
int HostDrawFlatTile(int nColor, int x, int y);
int HostDrawGoalPicture();
int HostShowPauseLogo(int bOn);
int HostBlankRect(int left, int top, int right, int bottom);
int HostLoadCreditsBitmap();
