// Dropping the top held tile into a bin and resolving the lines it makes.
#pragma once

#include <cstdint>

#include "engine/host.h"

// Drops the top tile of the paddle into the bin below it. Returns 1 if a tile
// was dropped, 0 if nothing was held or the bin was full.
int TileDrop(HostWindow hwndMain);

// Finds, clears, settles and scores every line, chain reactions included,
// then plays one score sound by the whole gain. Returns 1.
int LinesResolve(HostWindow hwndMain);

// The three detectors of one pass: read aBinCell, mark cleared cells -1 in
// aScanCell, add to nPassPoints and count toward the level goal. Return 1.
int DiagonalsFind();
int HorizontalsFind();
int VerticalsFind();

// The score sound for a resolution that gained lGain points (> 0).
const char* ScoreSoundFor(uint32_t lGain);
