// The Win32 side of the engine's host interface, split by subsystem: the
// drawing operations are the portable screen's, its pictures render/'s
// (host_draw_win.cpp), the rest here.
#pragma once

#include <windows.h>

#include "engine/host.h"

// The drawing operations of the host table are the portable screen's
// (render/screen.h); the renderer gives it the windows' pictures.
struct ScreenPlatform;
extern const ScreenPlatform kScreenWin32;
int HostLoadCreditsBitmap();
