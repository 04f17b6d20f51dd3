// The gamepad on Windows: XInput, loaded at run time, read on the play timer's
// tick. In the game's window its buttons go through the engine's key handling
// (engine/pad.h); in a dialog, the help or a menu they become the keys those
// take.
#pragma once

#include <windows.h>
#include <xinput.h>

// XInputGetState of the DLL PadLoad found, or a stand-in the tests put in;
// NULL without pad support.
typedef DWORD(WINAPI* PadGetStateFn)(DWORD dwUserIndex, XINPUT_STATE* pState);
extern PadGetStateFn pfnPadGetState;

// The XInput DLLs PadLoad tries, in order, ending with NULL; the tests put in
// names that do not exist.
extern const char* const* apszPadDlls;

// Loads the first XInput DLL there is; 1 if it has XInputGetState. Without
// one the game has no pad support and says nothing.
int PadLoad();

// One reading of the pad on the play timer's tick, while a window of the game
// is active; at most one call of XInputGetState. Returns 1 if it read the pad.
int PadTimerTick(HWND hwndMain);

// The pad in use (0..3), or -1 while none is connected.
int PadUser();
