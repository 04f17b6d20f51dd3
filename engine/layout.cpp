// The starting tiles of each level: the set pieces of levels 3, 6, 9 and 12,
// the random bands from level 15 on, and the tiles already on the paddle.
#include <cstdlib>

#include "engine/game.h"
#include "engine/layout.h"

namespace {

// Colours 0..3 and 4..7. From level 15 on neighbouring bins alternate between
// the two groups, so a layout holds no line except where a bin starts with
// three of one group (level 50) or a low tile lands between two low ones.
TileColor LowColor() {
    return rand() % 4;
}

TileColor HighColor() {
    return rand() % 4 + 4;
}

void CellSet(int nBin, int nRow, TileColor c) {
    game.aBinCell[nBin * NUM_ROWS + nRow] = c;
}

// One row across all five bins: low, high, low, high, low.
void RowAlternate(int nRow) {
    for (int nBin = 0; nBin < NUM_LANES; nBin++)
        CellSet(nBin, nRow, (nBin % 2) ? HighColor() : LowColor());
}

// Rows 0..3 of one bin: low, high, low, high.
void BinAlternate(int nBin) {
    for (int nRow = 0; nRow < 4; nRow++) CellSet(nBin, nRow, (nRow % 2) ? HighColor() : LowColor());
}

void CountsSet(int n0, int n1, int n2, int n3, int n4) {
    game.aBinCount[0] = n0;
    game.aBinCount[1] = n1;
    game.aBinCount[2] = n2;
    game.aBinCount[3] = n3;
    game.aBinCount[4] = n4;
}

// Level 3: bins 1 and 3 hold a, 7, a from the bottom (a is never 7).
void Level3() {
    TileColor a = rand() % 7;
    CellSet(1, 0, a);
    CellSet(1, 2, a);
    CellSet(3, 0, a);
    CellSet(3, 2, a);
    CellSet(1, 1, TILE_LBLUE);
    CellSet(3, 1, TILE_LBLUE);
    CountsSet(0, 3, 0, 3, 0);
}

// Level 6: the bottom row reads a a 7 a a.
void Level6() {
    TileColor a = rand() % 7;
    CellSet(0, 0, a);
    CellSet(1, 0, a);
    CellSet(3, 0, a);
    CellSet(4, 0, a);
    CellSet(2, 0, TILE_LBLUE);
    CountsSet(1, 1, 1, 1, 1);
}

// Level 9: four a tiles on four cells of a V whose apex (2,2) holds d.
void Level9() {
    TileColor a = rand() % 2;
    CellSet(0, 0, a);
    CellSet(1, 1, a);
    CellSet(3, 1, a);
    CellSet(4, 0, a);
    TileColor b = rand() % 2 + 2;
    CellSet(1, 0, b);
    CellSet(3, 0, b);
    TileColor e = rand() % 2 + 4;
    CellSet(2, 0, e);
    CellSet(2, 1, e);
    TileColor d = rand() % 2 + 6;
    CellSet(2, 2, d);
    CountsSet(1, 2, 3, 2, 1);
}

// Level 12: bin 2 is full with a, a, b, a, a; clearing the b drops the upper
// pair onto the lower one, a vertical of four. The bottom row reads b e a e b.
void Level12() {
    TileColor a = rand() % 2;
    CellSet(2, 0, a);
    CellSet(2, 1, a);
    CellSet(2, 3, a);
    CellSet(2, 4, a);
    TileColor b = rand() % 2 + 2;
    CellSet(0, 0, b);
    CellSet(4, 0, b);
    CellSet(2, 2, b);
    TileColor e = rand() % 2 + 4;
    CellSet(1, 0, e);
    CellSet(3, 0, e);
    CountsSet(1, 1, 5, 1, 1);
}

} // namespace

int LevelLayoutSet(int nLevel) {
    for (TileColor& c : game.aBinCell) c = TILE_NONE;
    for (int32_t& n : game.aBinCount) n = 0;

    if (nLevel == 3) {
        Level3();
    } else if (nLevel == 6) {
        Level6();
    } else if (nLevel == 9) {
        Level9();
    } else if (nLevel == 12) {
        Level12();
    } else if (nLevel >= 15 && nLevel <= 24) {
        RowAlternate(0);
        int k = rand() % 5;
        BinAlternate(k);
        CountsSet(1, 1, 1, 1, 1);
        game.aBinCount[k] = 4;
    } else if (nLevel >= 25 && nLevel <= 34) {
        RowAlternate(0);
        RowAlternate(1);
        CountsSet(2, 2, 2, 2, 2);
    } else if (nLevel >= 35 && nLevel <= 44) {
        RowAlternate(0);
        BinAlternate(0);
        BinAlternate(4);
        CountsSet(4, 1, 1, 1, 4);
    } else if (nLevel >= 45 && nLevel <= 49) {
        BinAlternate(0);
        BinAlternate(2);
        BinAlternate(4);
        CountsSet(4, 0, 4, 0, 4);
    } else if (nLevel == 50) {
        for (int nRow = 0; nRow < 3; nRow++) RowAlternate(nRow);
        CountsSet(3, 3, 3, 3, 3);
    }

    pHost->PostResolveLines();
    return 1;
}

int PaddlePreload(int nLevel) {
    int nTiles = 0;
    if (nLevel >= 45)
        nTiles = 5;
    else if (nLevel >= 35)
        nTiles = 4;
    else if (nLevel >= 25)
        nTiles = 3;
    else if (nLevel >= 15)
        nTiles = 2;
    else if (nLevel >= 6)
        nTiles = 1;

    // The colour count is fixed at start-up; never divide by a count that
    // has not been set yet.
    int nColors = game.nTileColors;
    if (nColors < 1 || nColors > NUM_COLORS) nColors = NUM_COLORS;

    for (int i = 0; i < MAX_HELD; i++) game.aHeld[i] = (i < nTiles) ? rand() % nColors : TILE_NONE;
    game.nHeld = nTiles;
    game.nPaddleY = PADDLE_BASE_Y + 10 * nTiles;
    return 1;
}
