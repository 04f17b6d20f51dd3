// The warp passwords: one for every fifth level from 6 to 46.
#pragma once

enum {
    WARP_SLOTS = 9,
    WARP_SLOT_LEN = 25,
    WARP_CODE_LEN = 24,
};

// The marker character of the direct level-select code: marker, two
// characters read as the level, marker; the rest is ignored.
enum { WARP_MARKER = '#' };

extern char aWarpPassword[WARP_SLOTS][WARP_SLOT_LEN];

// Fills aWarpPassword from the scrambled constants (once, at start-up).
void WarpTableInit();

// The level (6..46) a typed code opens, or 0. Scrambles szCode in place.
int WarpLevelForCode(char* szCode);

// Writes the plain password of level nLevel (6, 11, ..., 46) into szOut,
// which has room for WARP_SLOT_LEN bytes.
void WarpPasswordForLevel(int nLevel, char* szOut);

// The direct level-select code: 1 and the chosen level (1..50) in *pnLevel
// when szCode has the marker as its first and fourth character, else 0.
int WarpDirectLevel(const char* szCode, int* pnLevel);
