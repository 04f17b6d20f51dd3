// The goal picture's examples and its phase counter.
#include "render/goal.h"

#include <cstdlib>

#include "engine/game.h"

int nGoalPhase;

namespace {

struct GoalExampleRow {
    int nCells;
    GoalCell aCell[GOAL_MAX_CELLS];
};

struct GoalKindExamples {
    int nPhases;
    GoalExampleRow aPhase[GOAL_MAX_PHASES];
};

// Indexed by goal kind; kinds 0 and 1 have no examples.
const GoalKindExamples kExamples[NUM_GOAL_KINDS] = {
    {0, {}},
    {0, {}},
    // 3-tile verticals: along the bottom, up the middle, back down.
    {5,
     {{3, {{0, 4}, {0, 3}, {0, 2}}},
      {3, {{1, 3}, {1, 2}, {1, 1}}},
      {3, {{2, 2}, {2, 1}, {2, 0}}},
      {3, {{3, 3}, {3, 2}, {3, 1}}},
      {3, {{4, 4}, {4, 3}, {4, 2}}}}},
    // 3-tile horizontals
    {5,
     {{3, {{0, 0}, {1, 0}, {2, 0}}},
      {3, {{1, 1}, {2, 1}, {3, 1}}},
      {3, {{2, 2}, {3, 2}, {4, 2}}},
      {3, {{1, 3}, {2, 3}, {3, 3}}},
      {3, {{0, 4}, {1, 4}, {2, 4}}}}},
    // 3-tile diagonals: the four sides of a diamond
    {4,
     {{3, {{0, 2}, {1, 3}, {2, 4}}},
      {3, {{2, 4}, {3, 3}, {4, 2}}},
      {3, {{4, 2}, {3, 1}, {2, 0}}},
      {3, {{2, 0}, {1, 1}, {0, 2}}}}},
    // 4-tile verticals
    {5,
     {{4, {{0, 4}, {0, 3}, {0, 2}, {0, 1}}},
      {4, {{1, 4}, {1, 3}, {1, 2}, {1, 1}}},
      {4, {{2, 4}, {2, 3}, {2, 2}, {2, 1}}},
      {4, {{3, 4}, {3, 3}, {3, 2}, {3, 1}}},
      {4, {{4, 4}, {4, 3}, {4, 2}, {4, 1}}}}},
    // 4-tile horizontals
    {5,
     {{4, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
      {4, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {4, {{0, 2}, {1, 2}, {2, 2}, {3, 2}}},
      {4, {{1, 3}, {2, 3}, {3, 3}, {4, 3}}},
      {4, {{0, 4}, {1, 4}, {2, 4}, {3, 4}}}}},
    // 4-tile diagonals
    {4,
     {{4, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
      {4, {{3, 1}, {2, 2}, {1, 3}, {0, 4}}},
      {4, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {4, {{4, 0}, {3, 1}, {2, 2}, {1, 3}}}}},
    // 5-tile horizontals: every row from the top
    {5,
     {{5, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
      {5, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {5, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}},
      {5, {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}}},
      {5, {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}}}}},
    // 5-tile diagonals: the two full diagonals, twice
    {4,
     {{5, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
      {5, {{4, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 4}}},
      {5, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
      {5, {{4, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 4}}}}},
    // 5-tile Vs: the tip to the right, down, left and up
    {4,
     {{5, {{0, 4}, {1, 3}, {2, 2}, {1, 1}, {0, 0}}},
      {5, {{2, 2}, {1, 1}, {0, 0}, {3, 1}, {4, 0}}},
      {5, {{2, 2}, {3, 1}, {4, 0}, {3, 3}, {4, 4}}},
      {5, {{3, 3}, {4, 4}, {0, 4}, {1, 3}, {2, 2}}}}},
    // 5-tile Xs: a 3 x 3 X in the four corners and the centre
    {5,
     {{5, {{0, 4}, {1, 3}, {2, 2}, {0, 2}, {2, 4}}},
      {5, {{2, 2}, {3, 1}, {4, 0}, {2, 0}, {4, 2}}},
      {5, {{0, 2}, {1, 1}, {2, 0}, {0, 0}, {2, 2}}},
      {5, {{2, 4}, {3, 3}, {4, 2}, {2, 2}, {4, 4}}},
      {5, {{1, 3}, {2, 2}, {3, 1}, {1, 1}, {3, 3}}}}},
    // 9-tile X: both full diagonals, whatever the phase
    {1, {{9, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {4, 0}, {3, 1}, {1, 3}, {0, 4}}}}},
};

// Cell edges in panel client pixels, right and bottom exclusive.
const int kCellLeft[GOAL_GRID] = {45, 78, 110, 142, 174};
const int kCellRight[GOAL_GRID] = {75, 107, 139, 171, 203};
const int kCellTop[GOAL_GRID] = {293, 304, 316, 328, 340};
const int kCellBottom[GOAL_GRID] = {301, 313, 325, 337, 349};

bool IsPatternKind(int nKind) {
    return nKind >= GOAL_VERT3 && nKind < NUM_GOAL_KINDS;
}

} // namespace

const char* GoalPictureName(int nKind) {
    if (nKind == GOAL_POINTS) return "GOALPOINTS";
    if (nKind == GOAL_TILES) return "GOALTILES";
    return "GOAL";
}

int GoalPhaseCount(int nKind) {
    if (!IsPatternKind(nKind)) return 0;
    return kExamples[nKind].nPhases;
}

GoalStep GoalExample(int nKind, int nPhase) {
    GoalStep step = {0, 0, nullptr};
    if (!IsPatternKind(nKind) || nPhase < 0 || nPhase >= kExamples[nKind].nPhases) return step;
    const GoalExampleRow& row = kExamples[nKind].aPhase[nPhase];
    step.nCells = row.nCells;
    step.pCells = row.aCell;
    return step;
}

GoalRect GoalCellRect(int nCol, int nRow) {
    GoalRect rc = {0, 0, 0, 0};
    if (nCol < 0 || nCol >= GOAL_GRID || nRow < 0 || nRow >= GOAL_GRID) return rc;
    rc.left = kCellLeft[nCol];
    rc.right = kCellRight[nCol];
    rc.top = kCellTop[nRow];
    rc.bottom = kCellBottom[nRow];
    return rc;
}

int GoalPictureStep(int nKind, GoalStep* pStep) {
    if (!IsPatternKind(nKind)) return 0;
    int nColor = rand() % NUM_GOAL_CELL_COLORS;
    if (nKind == GOAL_X9) {
        *pStep = GoalExample(nKind, 0);
    } else {
        // A phase this kind lacks (left over from a kind with more) shows the
        // bare grid once; then the examples start again from the first.
        *pStep = GoalExample(nKind, nGoalPhase);
        nGoalPhase += 1;
        if (nGoalPhase < 0 || nGoalPhase >= kExamples[nKind].nPhases) nGoalPhase = 0;
    }
    pStep->nColor = nColor;
    return 1;
}
