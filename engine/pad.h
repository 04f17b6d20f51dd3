// The gamepad as keys: which key each button gives where, the stick's dead
// zone, the keyboard's repeat while a direction is held and the edges of the
// buttons. The platform reads the pad (shell/pad_win.cpp) and hands each
// reading in; what follows is plain data and decisions, so the rules and the
// timing of play stay those of the keyboard.
#pragma once

#include <cstdint>

#include "engine/host.h"

// The buttons, in the bits of the platform's pad state.
enum {
    PAD_UP = 0x0001,
    PAD_DOWN = 0x0002,
    PAD_LEFT = 0x0004,
    PAD_RIGHT = 0x0008,
    PAD_START = 0x0010,
    PAD_BACK = 0x0020,
    PAD_A = 0x1000,
    PAD_B = 0x2000,
    PAD_X = 0x4000,
    PAD_Y = 0x8000,
    PAD_DIRECTIONS = PAD_UP | PAD_DOWN | PAD_LEFT | PAD_RIGHT,
};

// The left stick counts as the D-pad's left or right beyond this distance
// from its centre (of 32767).
enum { PAD_STICK_DEAD_ZONE = 7849 };

// The application key, which opens the right-click menu; Back gives it.
enum { PAD_KEY_MENU = 0x5D };

// One reading of the pad; bConnected 0 when there is none.
struct PadReading {
    int32_t bConnected;
    uint16_t wButtons;
    int16_t nStickX;
    int16_t nStickY;
};

// Where the keys go: the game's window with and without a game, a dialog
// whose focus is an ordinary control, one whose focus is a list or a group
// of radio buttons (or the help's page), and an open menu.
enum { PAD_TITLE, PAD_PLAY, PAD_DIALOG, PAD_LIST, PAD_MENU, PAD_CONTEXTS };

// A key a reading gives: a virtual-key code, with Shift held or not.
struct PadKey {
    int32_t vk;
    int32_t bShift;
};
enum { PAD_MAX_KEYS = 10 };

// What the pad holds between readings.
struct PadInput {
    int32_t bKnown;   // a reading has been taken since the pad came
    uint16_t wHeld;   // the buttons down at the last reading, the stick folded in
    int32_t nContext; // PAD_* of the last reading
    uint16_t wRepeat; // the direction that repeats while held, or 0
    uint32_t dwNextRepeat;
    int32_t nDelayMs;  // the keyboard's repeat delay
    int32_t nPeriodMs; // and the time between repeats
};
extern PadInput pad;

// The keyboard's repeat settings in milliseconds: the delay setting 0..3
// (250 to 1000 ms) and the speed setting 0..31 (about 2.5 to 30 a second).
int PadRepeatDelayMs(int nDelaySetting);
int PadRepeatPeriodMs(int nSpeedSetting);
void PadSetRepeat(int nDelaySetting, int nSpeedSetting);

// The buttons of a reading with the stick's left and right beyond the dead
// zone folded into the D-pad's.
uint16_t PadButtons(const PadReading* pReading);

// Forgets the pad's buttons: the next reading is taken as it stands, without
// presses (a pad that comes, a window that becomes active again).
void PadForget();

// Takes one reading at dwNow (milliseconds) in nContext and writes the keys it
// gives into aKey (room for PAD_MAX_KEYS); returns how many. A button gives
// its key once when pressed; a held direction repeats as the keyboard does.
int PadUpdate(const PadReading* pReading, int nContext, uint32_t dwNow, PadKey* aKey);

// One reading for the game's window: its keys go through KeyDown, as the
// keyboard's do. Returns 1 when Back asked for the right-click menu.
int PadPlayTick(HostWindow hwndMain, const PadReading* pReading, uint32_t dwNow);
