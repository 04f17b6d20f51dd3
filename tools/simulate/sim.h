// A headless run of the game engine: its own GameHost with instant dialogs,
// a scripted player on the keyboard, and the game's invariants checked after
// every tick and every key.
#pragma once

#include <cstdint>

enum { SIM_FAULT_LEN = 256 };

struct SimOptions {
    int nGames = 100;
    int nSpeed = 1;         // 0 Slow .. 3 Insane
    unsigned nSeed = 1;     // the clock the engine seeds rand() from, and the player's noise
    int nMaxTicks = 200000; // per game; a game still running then is cut off
    int nStartLevel = 1;    // 1 is a new game; others start as a warp does
    int nReactTicks = 3;    // ticks between two key presses of the player
    int nNoisePercent = 0;  // chance of a random key (or Ctrl change) instead of the plan
    int bCheckInvariants = 1;
    int bTrace = 0;      // a line on stderr for every lost tile and every key
    int bFixedClock = 0; // the clock stays at nSeed, as the browser's seed seam keeps it
};

struct SimLevelStats {
    int nReached;       // games that played this level
    int nCompleted;     // and finished it
    uint64_t lScoreSum; // score right after the level bonus, summed over completions
    uint64_t nTickSum;  // ticks spent in the level, summed over completions
};

struct SimResult {
    SimLevelStats aLevel[51]; // by level 1..50
    int nGames;
    int nWon;
    int nLostLives; // games ended by the last life
    int nLostFull;  // games ended by full bins
    int nCutOff;    // games stopped at nMaxTicks
    uint64_t lFinalScoreSum;
    uint64_t nTicks; // ticks played in all games
    uint64_t nKeys;  // keys pressed in all games
    uint64_t nCatches;
    uint64_t nMisses;
    uint64_t nLinesResolved; // resolutions that scored
    uint64_t nExtraLives;
    int nFaults; // invariant violations (the first is described below)
    char szFirstFault[SIM_FAULT_LEN];
};

// Runs opt.nGames games; fills *pResult. Returns 1 if no invariant failed.
int SimRun(const SimOptions& opt, SimResult* pResult);

// Checks the game state; returns 1 if it holds, else 0 with a reason in szWhy.
// bins settled and counted, paddle height matching the stack, the falling tiles
// inside the lanes, lane, lives, spacing and slot counts in range.
int SimCheckInvariants(char* szWhy, int cchWhy);

// The host's LoadStringText for a host without the game's resources: the goal
// kinds' names of the string table; any other id gives 0.
int SimStringLoad(int nId, char* szBuf, int cchBuf);
