// The pointer's taps, flicks and wheel as the keys of play.
#include "engine/pointer.h"

#include <cstdlib>

#include "engine/game.h"
#include "engine/pad.h"
#include "engine/play.h"
#include "render/zoom.h"

PointerInput pointer = {0, 0, 0, -1, 0, 0};

namespace {

// The keyboard's repeat in play timer ticks, never less than one.
int TicksOf(int nMs) {
    int nTicks = (nMs + PLAY_TIMER_MS / 2) / PLAY_TIMER_MS;
    return nTicks < 1 ? 1 : nTicks;
}

// A pointer event resumes a paused game and does nothing else, so the tap
// that brings the game back (or activates its window) never moves or drops.
int ResumeOnly() {
    if (!game.bPaused) return 0;
    SetPause(0);
    pHost->DrawPaddleStack();
    return 1;
}

// One lane toward the target, as one press of the arrow key does.
void TravelStep(HostWindow hwndMain) {
    KeyDown(hwndMain, pointer.nTargetLane < game.nPaddleLane ? KEY_LEFT : KEY_RIGHT);
    if (game.nPaddleLane == pointer.nTargetLane) pointer.nTargetLane = -1;
}

// A tap on a lane: the paddle's own lane drops, another starts the travel
// with its first lane at once and the next after the keyboard's delay.
int Tap(HostWindow hwndMain, int nLane) {
    if (nLane == game.nPaddleLane) {
        pointer.nTargetLane = -1;
        return KeyDown(hwndMain, KEY_DOWN);
    }
    pointer.nTargetLane = nLane;
    pointer.nTicksLeft = TicksOf(pad.nDelayMs);
    TravelStep(hwndMain);
    return 1;
}

// The end of a press: a flick up spins, anything else taps where it landed.
int Release(HostWindow hwndMain, int x, int y) {
    if (!pointer.bPressed) return 0;
    pointer.bPressed = 0;
    if (!game.bGameRunning) return 0;
    if (ResumeOnly()) return 1;
    int dx = x - pointer.xDown, dy = pointer.yDown - y;
    if (dy >= POINTER_FLICK_UP && dy > abs(dx)) return KeyDown(hwndMain, KEY_UP);
    return Tap(hwndMain, PointerLaneAt(pointer.xDown, pointer.yDown));
}

// The wheel over the playfield: a spin a notch, either way; a finer wheel's
// steps add up to notches.
int Wheel(HostWindow hwndMain, int nWheel) {
    if (!game.bGameRunning) return 0;
    if (ResumeOnly()) {
        pointer.nWheelTurn = 0;
        return 1;
    }
    pointer.nWheelTurn += abs(nWheel);
    int bSpun = 0;
    while (pointer.nWheelTurn >= POINTER_NOTCH) {
        pointer.nWheelTurn -= POINTER_NOTCH;
        bSpun = KeyDown(hwndMain, KEY_UP);
    }
    return bSpun;
}

} // namespace

int PointerLaneAt(int x, int y) {
    const int xLeft = aLaneX[0] - 1, nWidth = aLaneX[1] - aLaneX[0];
    const int xRight = xLeft + NUM_LANES * nWidth;
    if (y < 0 || y >= ZOOM_DESIGN_H || x < xLeft - POINTER_FRAME || x >= xRight + POINTER_FRAME)
        return -1;
    if (x < xLeft) return 0;
    int nLane = (x - xLeft) / nWidth;
    return nLane < NUM_LANES ? nLane : NUM_LANES - 1;
}

void PointerForget() {
    pointer.bPressed = 0;
    pointer.nTargetLane = -1;
    pointer.nTicksLeft = 0;
    pointer.nWheelTurn = 0;
}

int PointerInputEvent(HostWindow hwndMain, const PointerEvent* pEvent) {
    switch (pEvent->nKind) {
    case POINTER_DOWN:
        pointer.bPressed = game.bGameRunning && PointerLaneAt(pEvent->x, pEvent->y) >= 0;
        pointer.xDown = pEvent->x;
        pointer.yDown = pEvent->y;
        return pointer.bPressed;
    case POINTER_UP: return Release(hwndMain, pEvent->x, pEvent->y);
    case POINTER_WHEEL:
        if (PointerLaneAt(pEvent->x, pEvent->y) < 0) return 0;
        return Wheel(hwndMain, pEvent->nWheel);
    case POINTER_CANCEL: pointer.bPressed = 0; return 0;
    default: return 0; // a move changes nothing
    }
}

int PointerTick(HostWindow hwndMain) {
    if (pointer.nTargetLane < 0) return 0;
    if (!game.bGameRunning || game.bPaused || pointer.nTargetLane == game.nPaddleLane) {
        pointer.nTargetLane = -1;
        return 0;
    }
    if (--pointer.nTicksLeft > 0) return 0;
    pointer.nTicksLeft = TicksOf(pad.nPeriodMs);
    TravelStep(hwndMain);
    return 1;
}
