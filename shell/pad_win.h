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

// The clock of the pad's ticks (GetTickCount); the tests' stand-in runs
// simulated time.
typedef DWORD(WINAPI* PadClockFn)();
extern PadClockFn pfnPadClock;

// While no pad is connected, one slot is looked at every PAD_LOOK_MS, so a
// pad plugged into any of the four is found within two seconds.
enum { PAD_LOOK_MS = 500 };

// The XInput DLLs PadLoad tries, in order, ending with NULL; the tests put in
// names that do not exist.
extern const char* const* apszPadDlls;

// Loads the first XInput DLL there is; 1 if it has XInputGetState. Without
// one the game has no pad support and says nothing.
int PadLoad();

// One tick of the pad on the play timer, while a window of the game is
// active: the pad in use is read, or, while there is none and it is time, one
// slot is looked at; at most one call of XInputGetState. Returns 1 if it
// handled the tick (a tick with no pad and no slot to look at asks nothing,
// not even which window is active).
int PadTimerTick(HWND hwndMain);

// The pad in use (0..3), or -1 while none is connected.
int PadUser();
