// Play: the tick, the falling tiles, the keys, level end, game over, pause.
#pragma once

#include "engine/host.h"

// Virtual-key codes the engine handles (the platform's own numbers).
enum {
    KEY_TAB = 0x09,
    KEY_RETURN = 0x0D,
    KEY_ESCAPE = 0x1B,
    KEY_SPACE = 0x20,
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
};

// One step of play; returns 0 if it did nothing, 1 otherwise.
int PlayTick(HostWindow hwndMain, int nStep);

// Launches one tile; returns 1, or 0 when no slot was free.
int TileLaunch();

// Handles one key press; returns 1 for the game's keys, else 0.
int KeyDown(HostWindow hwndMain, int vk);

// Pauses (bOn != 0) or resumes. Returns 0 when already in that state.
int SetPause(int bOn);

int LevelOver(HostWindow hwndMain);
int GameOver(HostWindow hwndMain);

// The engine's side of the play timer while a game runs: the paddle lamps,
// then the play tick. Returns what PlayTick returned.
int EngineTimerTick(HostWindow hwndMain);
