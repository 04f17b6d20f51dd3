// The pointer: the mouse, a touch screen and a pen as one way to play. Each
// platform hands in its pointer's presses, releases, moves and wheel in
// design pixels of the 640 x 480 picture (the zoom's mapping already done);
// what they mean is decided here in lanes and rows, so every build plays
// alike, and everything they do goes through the key handler, so the rules
// and the pace stay those of the keys:
//
//   a tap on a lane     the paddle goes there at the pace of a held arrow key
//   a tap on its lane   when the paddle is already there: Down (drop)
//   a flick up, wheel   Up (spin the stack)
//   any tap, paused     plays on, as a move key does (and does nothing else)
//   a mere move         nothing
#pragma once

#include <cstdint>

#include "engine/host.h"

enum {
    POINTER_DOWN,   // a press (left button, finger, pen) at x, y
    POINTER_MOVE,   // the pointer moved to x, y, pressed or not
    POINTER_UP,     // the press ended at x, y
    POINTER_WHEEL,  // the wheel turned by nWheel (120 a notch, either way) over x, y
    POINTER_CANCEL, // the press was taken by something else (a menu, the system)
};

// One event of the pointer in design pixels.
struct PointerEvent {
    int32_t nKind; // POINTER_*
    int32_t x;
    int32_t y;
    int32_t nWheel;
};

enum {
    POINTER_FRAME = 10,    // the frame round the lanes counts as the lane beside it
    POINTER_FLICK_UP = 32, // a flick rises at least two rows
    POINTER_NOTCH = 120,   // the wheel's turn for one spin
};

// What the pointer holds between events.
struct PointerInput {
    int32_t bPressed; // a press that began on the playfield is under way
    int32_t xDown;    // where it landed
    int32_t yDown;
    int32_t nTargetLane; // the lane the paddle travels to, or -1
    int32_t nTicksLeft;  // play timer ticks before the next lane of the travel
    int32_t nWheelTurn;  // the wheel turned short of a notch
};
extern PointerInput pointer;

// The lane under a design point of the playfield (its frame included), or -1
// for a point outside it.
int PointerLaneAt(int x, int y);

// Forgets any press, travel and wheel turn (a new level, a lost capture).
void PointerForget();

// Takes one event. Returns 1 when it was the game's: a press on the playfield
// during a game (the platform then keeps the pointer until the release), a
// release or wheel that acted; else 0.
int PointerInputEvent(HostWindow hwndMain, const PointerEvent* pEvent);

// One play timer tick of a running game: the paddle takes the next lane of its
// travel when it is due. A pause ends the travel. Returns 1 when it moved.
int PointerTick(HostWindow hwndMain);
