// Dropping the top held tile into a bin and resolving the lines it makes.
#pragma once

#include <cstdint>

#include "engine/host.h"

// What a line of one shape scores and how many of each goal kind it counts
// as (a larger shape also counts as the smaller ones it contains). A shape is
// named by the goal kind of its own lines, GOAL_VERT3 .. GOAL_X9.
enum { LINE_MAX_GOALS = 6 };
struct LineScore {
    int32_t nShape;
    int32_t nPoints;
    int32_t aGoal[LINE_MAX_GOALS][2]; // (goal kind, count); count 0 ends the list
};

// The detectors' entry for a shape; nullptr for a kind that is no line.
const LineScore* LineScoreOf(int nShape);

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
