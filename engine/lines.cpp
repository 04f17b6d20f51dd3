// Dropping the top held tile and resolving the lines in the bins.
//
// A pass runs the three detectors on the unchanged aBinCell; each marks the
// cells of its lines in aScanCell, so a tile on two lines is cleared once
// while both lines score. The cleared bins settle and the next pass looks
// for the lines that the falling tiles made, until a pass finds nothing.
#include "engine/lines.h"

#include <cstring>

#include "engine/game.h"
#include "engine/play.h"

namespace {

int Cell(int nBin, int nRow) {
    return game.aBinCell[nBin * NUM_ROWS + nRow];
}

void ScanClear(int nBin, int nRow) {
    game.aScanCell[nBin * NUM_ROWS + nRow] = TILE_NONE;
}

// Lowers the goal by nCount when the level's goal is of kind nKind.
void GoalCount(int nKind, int nCount) {
    if (GoalKind() == nKind) game.nGoalLeft -= nCount;
}

// --- Verticals and horizontals --------------------------------------------

// Does bin nBin hold colour c in rows nFirst..nLast?
int BinRun(int nBin, int nFirst, int nLast, TileColor c) {
    for (int nRow = nFirst; nRow <= nLast; nRow++)
        if (Cell(nBin, nRow) != c) return 0;
    return 1;
}

// Does row nRow hold colour c in bins nFirst..nLast?
int RowRun(int nRow, int nFirst, int nLast, TileColor c) {
    for (int nBin = nFirst; nBin <= nLast; nBin++)
        if (Cell(nBin, nRow) != c) return 0;
    return 1;
}

// One straight shape: the span it covers and the goal kind that names it.
struct StraightShape {
    int nFirst;
    int nLast;
    int nShape; // GOAL_* of the line it is
};

// Tried in order, first that holds; a vertical of four is only found in rows
// 0..3 and there is no vertical of five.
const StraightShape kVerticals[] = {
    {0, 3, GOAL_VERT4},
    {0, 2, GOAL_VERT3},
    {2, 4, GOAL_VERT3},
    {1, 3, GOAL_VERT3},
};

// Every run of three or more in a row of five passes through bin 2.
const StraightShape kHorizontals[] = {
    {0, 4, GOAL_HORZ5}, {0, 3, GOAL_HORZ4}, {1, 4, GOAL_HORZ4},
    {0, 2, GOAL_HORZ3}, {1, 3, GOAL_HORZ3}, {2, 4, GOAL_HORZ3},
};

// What each line shape scores and counts toward the level goal; a larger
// shape also counts as the smaller ones it contains.
const LineScore kLineScores[] = {
    {GOAL_VERT3, 125, {{GOAL_VERT3, 1}}},
    {GOAL_VERT4, 5000, {{GOAL_VERT4, 1}, {GOAL_VERT3, 2}}},
    {GOAL_HORZ3, 1500, {{GOAL_HORZ3, 1}}},
    {GOAL_HORZ4, 2500, {{GOAL_HORZ4, 1}, {GOAL_HORZ3, 2}}},
    {GOAL_HORZ5, 5000, {{GOAL_HORZ5, 1}, {GOAL_HORZ4, 2}, {GOAL_HORZ3, 3}}},
    {GOAL_DIAG3, 2500, {{GOAL_DIAG3, 1}}},
    {GOAL_DIAG4, 5000, {{GOAL_DIAG4, 1}, {GOAL_DIAG3, 2}}},
    {GOAL_DIAG5, 20000, {{GOAL_DIAG5, 1}, {GOAL_DIAG4, 2}, {GOAL_DIAG3, 3}}},
    {GOAL_V5, 15000, {{GOAL_V5, 1}, {GOAL_DIAG3, 2}}},
    {GOAL_X5, 15000, {{GOAL_X5, 1}, {GOAL_DIAG3, 2}}},
    {GOAL_X9,
     75000,
     {{GOAL_X9, 1}, {GOAL_X5, 1}, {GOAL_V5, 4}, {GOAL_DIAG5, 2}, {GOAL_DIAG4, 4}, {GOAL_DIAG3, 6}}},
};

// A line of the shape was found: its points, and its counts for the goal.
void LineFound(int nShape) {
    const LineScore* p = LineScoreOf(nShape);
    if (!p) return;
    game.nPassPoints += p->nPoints;
    for (const auto& g : p->aGoal)
        if (g[1] > 0) GoalCount(g[0], g[1]);
}

// --- Diagonals ---------------------------------------------------------------

enum { NUM_DIAGONALS = 18 };

// D0..D8 fall to the right, D9..D17 rise to the right; (bin, row) each.
const int kDiagonal[NUM_DIAGONALS][3][2] = {
    {{0, 2}, {1, 1}, {2, 0}}, {{0, 3}, {1, 2}, {2, 1}}, {{1, 2}, {2, 1}, {3, 0}},
    {{0, 4}, {1, 3}, {2, 2}}, {{1, 3}, {2, 2}, {3, 1}}, {{2, 2}, {3, 1}, {4, 0}},
    {{1, 4}, {2, 3}, {3, 2}}, {{2, 3}, {3, 2}, {4, 1}}, {{2, 4}, {3, 3}, {4, 2}},
    {{0, 2}, {1, 3}, {2, 4}}, {{0, 1}, {1, 2}, {2, 3}}, {{1, 2}, {2, 3}, {3, 4}},
    {{0, 0}, {1, 1}, {2, 2}}, {{1, 1}, {2, 2}, {3, 3}}, {{2, 2}, {3, 3}, {4, 4}},
    {{1, 0}, {2, 1}, {3, 2}}, {{2, 1}, {3, 2}, {4, 3}}, {{2, 0}, {3, 1}, {4, 2}},
};

// Two diagonals of opposite directions sharing an end cell (every V).
const int kVPairs[12][2] = {{5, 12}, {3, 14}, {3, 12}, {5, 14}, {0, 17}, {0, 9},
                            {8, 9},  {8, 17}, {1, 16}, {7, 10}, {2, 11}, {6, 15}};
// Two diagonals crossing in their middle cell (one per inner cell).
const int kXPairs[9][2] = {{0, 12}, {2, 15}, {5, 17}, {1, 10}, {4, 13},
                           {7, 16}, {3, 9},  {6, 11}, {8, 14}};
// Two diagonals of one direction overlapping in two cells.
const int kFourPairs[8][2] = {{1, 2},   {3, 4},   {4, 5},   {6, 7},
                              {10, 11}, {12, 13}, {13, 14}, {15, 16}};

// Fires when every named flag is still set: clears them and returns 1.
int FlagsTake(int* aFlag, const int* aSlot, int nSlots) {
    for (int i = 0; i < nSlots; i++)
        if (!aFlag[aSlot[i]]) return 0;
    for (int i = 0; i < nSlots; i++) aFlag[aSlot[i]] = 0;
    return 1;
}

// --- The pass ----------------------------------------------------------------

void DetectorsRun() {
    DiagonalsFind();
    HorizontalsFind();
    VerticalsFind();
}

// Counts each bin's tiles in aScanCell, takes the cleared cells over into
// aBinCell and lets the tiles above every gap fall, keeping their order.
void BinsSettle() {
    for (int nBin = 0; nBin < NUM_LANES; nBin++) {
        int nCount = 0;
        for (int nRow = 0; nRow < NUM_ROWS; nRow++)
            nCount += game.aScanCell[nBin * NUM_ROWS + nRow] != TILE_NONE;
        game.aBinCount[nBin] = nCount;
    }
    std::memcpy(game.aBinCell, game.aScanCell, sizeof game.aBinCell);

    for (int nBin = 0; nBin < NUM_LANES; nBin++) {
        TileColor* aCell = &game.aBinCell[nBin * NUM_ROWS];
        for (int j = 0; j < game.aBinCount[nBin]; j++) {
            if (aCell[j] != TILE_NONE) continue;
            for (int k = j + 1; k < NUM_ROWS; k++) {
                if (aCell[k] == TILE_NONE) continue;
                aCell[j] = aCell[k];
                aCell[k] = TILE_NONE;
                break;
            }
        }
    }
    std::memcpy(game.aScanCell, game.aBinCell, sizeof game.aScanCell);
}

int BinsAllFull() {
    for (int nBin = 0; nBin < NUM_LANES; nBin++)
        if (game.aBinCount[nBin] < NUM_ROWS) return 0;
    return 1;
}

} // namespace

const LineScore* LineScoreOf(int nShape) {
    for (const LineScore& s : kLineScores)
        if (s.nShape == nShape) return &s;
    return nullptr;
}

const char* ScoreSoundFor(uint32_t lGain) {
    if (lGain <= 1000) return "SCORE1";
    if (lGain <= 2500) return "SCORE2";
    if (lGain <= 5000) return "SCORE3";
    if (lGain <= 10000) return "SCORE4";
    return "SCORE5";
}

int VerticalsFind() {
    for (int nBin = 0; nBin < NUM_LANES; nBin++) {
        TileColor c = Cell(nBin, 2);
        if (c == TILE_NONE) continue;
        for (const StraightShape& s : kVerticals) {
            if (!BinRun(nBin, s.nFirst, s.nLast, c)) continue;
            for (int nRow = s.nFirst; nRow <= s.nLast; nRow++) ScanClear(nBin, nRow);
            LineFound(s.nShape);
            break;
        }
    }
    return 1;
}

int HorizontalsFind() {
    for (int nRow = 0; nRow < NUM_ROWS; nRow++) {
        TileColor c = Cell(2, nRow);
        if (c == TILE_NONE) continue;
        for (const StraightShape& s : kHorizontals) {
            if (!RowRun(nRow, s.nFirst, s.nLast, c)) continue;
            for (int nBin = s.nFirst; nBin <= s.nLast; nBin++) ScanClear(nBin, nRow);
            LineFound(s.nShape);
            break;
        }
    }
    return 1;
}

int DiagonalsFind() {
    int aFlag[NUM_DIAGONALS] = {};
    for (int d = 0; d < NUM_DIAGONALS; d++) {
        const int(*p)[2] = kDiagonal[d];
        TileColor c = Cell(p[0][0], p[0][1]);
        if (c == TILE_NONE || Cell(p[1][0], p[1][1]) != c || Cell(p[2][0], p[2][1]) != c) continue;
        aFlag[d] = 1;
        for (int i = 0; i < 3; i++) ScanClear(p[i][0], p[i][1]);
    }

    // The cells are marked; what follows only decides the score and the goal.
    // Larger shapes take their diagonals first, so no diagonal scores twice.
    static const int kX9[6] = {3, 4, 5, 12, 13, 14};
    static const int kFalling5[3] = {3, 4, 5};
    static const int kRising5[3] = {12, 13, 14};
    if (FlagsTake(aFlag, kX9, 6)) LineFound(GOAL_X9);
    if (FlagsTake(aFlag, kFalling5, 3) || FlagsTake(aFlag, kRising5, 3)) LineFound(GOAL_DIAG5);

    for (const auto& pair : kVPairs) {
        if (FlagsTake(aFlag, pair, 2)) LineFound(GOAL_V5);
    }
    for (const auto& pair : kXPairs) {
        if (FlagsTake(aFlag, pair, 2)) LineFound(GOAL_X5);
    }
    for (const auto& pair : kFourPairs) {
        if (FlagsTake(aFlag, pair, 2)) LineFound(GOAL_DIAG4);
    }
    for (int d = 0; d < NUM_DIAGONALS; d++) {
        if (!aFlag[d]) continue;
        aFlag[d] = 0;
        LineFound(GOAL_DIAG3);
    }
    return 1;
}

int LinesResolve(HostWindow) {
    uint32_t lAtEntry = game.lScore;

    std::memcpy(game.aScanCell, game.aBinCell, sizeof game.aScanCell);
    game.nPassPoints = 0;
    DetectorsRun();

    while (game.nPassPoints > 0) {
        BinsSettle();

        pHost->BeginDrawing();
        pHost->DrawBins();
        pHost->DrawPaddleStack();
        pHost->EndDrawing();

        game.lScore += (uint32_t)game.nPassPoints;
        pHost->SendPanel(WM_PANELSCORE, 0, (int32_t)game.lScore);
        if (GoalKind() == GOAL_POINTS) game.nGoalLeft -= game.nPassPoints;

        // Chain reaction: the settled tiles may have made new lines.
        game.nPassPoints = 0;
        DetectorsRun();
    }

    uint32_t lGain = game.lScore - lAtEntry;
    if (lGain > 0) pHost->PlayGameSound(ScoreSoundFor(lGain), 1);
    return 1;
}

int TileDrop(HostWindow hwndMain) {
    if (game.nHeld < 1) return 0;
    int nLane = game.nPaddleLane;
    if (nLane < 0 || nLane >= NUM_LANES) return 0;
    if (game.aBinCount[nLane] >= NUM_ROWS) {
        pHost->PlayGameSound("CANNOTDROP", 1);
        return 0;
    }

    pHost->BeginDrawing();
    pHost->ErasePaddleStack();
    game.nHeld -= 1;
    game.nPaddleY -= 10;
    pHost->DrawPaddleStack();
    TileColor c = game.aHeld[game.nHeld];
    // No falling animation: the tile appears in its resting place at once.
    pHost->DrawFlatTile(c, aLaneX[nLane], aRowY[game.aBinCount[nLane]]);
    pHost->EndDrawing();
    pHost->PlayGameSound("DROPPED", 1);

    game.aBinCell[nLane * NUM_ROWS + game.aBinCount[nLane]] = c;
    game.aBinCount[nLane] += 1;
    game.aHeld[game.nHeld] = TILE_NONE;

    uint32_t lBefore = game.lScore;
    LinesResolve(hwndMain);

    // A drop that leaves all 25 cells filled ends the game; a finished game
    // has no level left to complete.
    if (BinsAllFull()) {
        GameOver(hwndMain);
        return 1;
    }
    if (game.nGoalLeft < 1) {
        LevelOver(hwndMain);
    } else if (game.lScore != lBefore && game.bGameRunning) {
        pHost->SendPanel(WM_PANELSCORE, 0, (int32_t)game.lScore);
        pHost->SendPanel(WM_PANELGOAL, 0, 0);
    }
    return 1;
}
