// The stand-in XInput of the end-to-end test of the gamepad: a DLL named
// xinput1_4.dll that lies beside the exe in the test's run folder, so the game
// loads it before the system's. It plays the pad the test writes into a
// shared block, and counts how often the game asks.
#pragma once

#include <windows.h>

#define FAKE_PAD_MAPPING "Local\\QuarrionTestPad"

struct FakePad {
    volatile LONG nCalls;     // XInputGetState calls so far
    volatile LONG bConnected; // the pad at slot 0 is there
    volatile LONG wButtons;
    volatile LONG nStickX;
};
