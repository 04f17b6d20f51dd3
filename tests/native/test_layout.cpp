// The starting layouts and the paddle pre-load, over many seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/layout.h"
#include "engine/lines.h"
#include "tests/native/recording_host.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);
const unsigned kSeeds = 400;

TileColor Cell(int nBin, int nRow) {
    return game.aBinCell[nBin * NUM_ROWS + nRow];
}

// The layout rebuilt from its recipe, drawing rand() in the listed order.
struct Replay {
    TileColor aCell[NUM_CELLS];
    void Put(int b, int r, TileColor c) { aCell[b * NUM_ROWS + r] = c; }
    TileColor Low() { return rand() % 4; }
    TileColor High() { return rand() % 4 + 4; }
    void RowLH(int r) {
        for (int b = 0; b < 5; b++) Put(b, r, b % 2 ? High() : Low());
    }
    void BinLH(int b) {
        for (int r = 0; r < 4; r++) Put(b, r, r % 2 ? High() : Low());
    }
    explicit Replay(int nLevel) {
        for (TileColor& c : aCell) c = TILE_NONE;
        if (nLevel == 3) {
            TileColor a = rand() % 7;
            for (int b : {1, 3}) {
                Put(b, 0, a);
                Put(b, 1, 7);
                Put(b, 2, a);
            }
        } else if (nLevel == 6) {
            TileColor a = rand() % 7;
            for (int b : {0, 1, 3, 4}) Put(b, 0, a);
            Put(2, 0, 7);
        } else if (nLevel == 9) {
            TileColor a = rand() % 2, b = rand() % 2 + 2, e = rand() % 2 + 4, d = rand() % 2 + 6;
            Put(0, 0, a);
            Put(1, 1, a);
            Put(3, 1, a);
            Put(4, 0, a);
            Put(1, 0, b);
            Put(3, 0, b);
            Put(2, 0, e);
            Put(2, 1, e);
            Put(2, 2, d);
        } else if (nLevel == 12) {
            TileColor a = rand() % 2, b = rand() % 2 + 2, e = rand() % 2 + 4;
            for (int r : {0, 1, 3, 4}) Put(2, r, a);
            Put(0, 0, b);
            Put(4, 0, b);
            Put(2, 2, b);
            Put(1, 0, e);
            Put(3, 0, e);
        } else if (nLevel >= 15 && nLevel <= 24) {
            RowLH(0);
            BinLH(rand() % 5);
        } else if (nLevel >= 25 && nLevel <= 34) {
            RowLH(0);
            RowLH(1);
        } else if (nLevel >= 35 && nLevel <= 44) {
            RowLH(0);
            BinLH(0);
            BinLH(4);
        } else if (nLevel >= 45 && nLevel <= 49) {
            BinLH(0);
            BinLH(2);
            BinLH(4);
        } else if (nLevel == 50) {
            RowLH(0);
            RowLH(1);
            RowLH(2);
        }
    }
};

// Points found by each detector alone on the present bins.
struct Finds {
    int32_t nDiagonal, nHorizontal, nVertical;
};

Finds FindAll() {
    Finds f;
    int32_t nGoal = game.nGoalLeft;
    int (*const apfn[3])() = {DiagonalsFind, HorizontalsFind, VerticalsFind};
    int32_t* apn[3] = {&f.nDiagonal, &f.nHorizontal, &f.nVertical};
    for (int i = 0; i < 3; i++) {
        std::memcpy(game.aScanCell, game.aBinCell, sizeof game.aScanCell);
        game.nPassPoints = 0;
        apfn[i]();
        *apn[i] = game.nPassPoints;
    }
    game.nGoalLeft = nGoal;
    return f;
}

class Layout : public ::testing::Test {
  protected:
    RecordingHost host;
    void SetUp() override { ResetEngineForTest(host); }

    // Stale tiles and counts are left for the layout to clear.
    void Lay(int nLevel, unsigned nSeed) {
        for (TileColor& c : game.aBinCell) c = TILE_RED;
        for (int32_t& n : game.aBinCount) n = 5;
        srand(nSeed);
        host.Clear();
        ASSERT_EQ(LevelLayoutSet(nLevel), 1);
        ASSERT_EQ(host.Ops(), (std::vector<std::string>{"PostResolveLines"}));
    }
};

TEST_F(Layout, EveryLevelLaysItsRecipeOverStaleBins) {
    for (int nLevel = 1; nLevel <= NUM_LEVELS; nLevel++)
        for (unsigned nSeed = 1; nSeed <= 50; nSeed++) {
            SCOPED_TRACE("level " + std::to_string(nLevel) + " seed " + std::to_string(nSeed));
            Lay(nLevel, nSeed);
            int nNextLaid = rand();
            srand(nSeed);
            Replay want(nLevel);
            ASSERT_EQ(std::memcmp(want.aCell, game.aBinCell, sizeof want.aCell), 0);
            // No value is drawn beyond the recipe.
            EXPECT_EQ(rand(), nNextLaid);
            // The counts match the cells, and the tiles rest on one another.
            for (int b = 0; b < NUM_LANES; b++)
                for (int r = 0; r < NUM_ROWS; r++)
                    ASSERT_EQ(Cell(b, r) != TILE_NONE, r < game.aBinCount[b]) << b << "," << r;
        }
}

// The starting layout holds no line, except a vertical of three on level 50
// and a bottom-row horizontal on levels 15..24 when the tall bin is 1 or 3.
TEST_F(Layout, NoLineExceptTheTwoNamedCases) {
    int nLevel50Lines = 0, nBandLines = 0;
    for (int nLevel = 1; nLevel <= NUM_LEVELS; nLevel++)
        for (unsigned nSeed = 1; nSeed <= kSeeds; nSeed++) {
            SCOPED_TRACE("level " + std::to_string(nLevel) + " seed " + std::to_string(nSeed));
            Lay(nLevel, nSeed);
            Finds f = FindAll();
            if (nLevel == 50) {
                EXPECT_EQ(f.nDiagonal + f.nHorizontal, 0);
                EXPECT_EQ(f.nVertical % 125, 0);
                nLevel50Lines += f.nVertical > 0;
            } else if (nLevel >= 15 && nLevel <= 24) {
                EXPECT_EQ(f.nDiagonal + f.nVertical, 0);
                if (f.nHorizontal > 0) {
                    EXPECT_TRUE(game.aBinCount[1] == 4 || game.aBinCount[3] == 4);
                    EXPECT_EQ(f.nHorizontal, 1500);
                    nBandLines++;
                }
            } else {
                ASSERT_EQ(f.nDiagonal + f.nHorizontal + f.nVertical, 0);
            }
        }
    // Both cases do happen.
    EXPECT_GT(nLevel50Lines, 0);
    EXPECT_GT(nBandLines, 0);
}

TEST_F(Layout, PaddlePreloadByBand) {
    for (int nLevel = 1; nLevel <= NUM_LEVELS; nLevel++) {
        int nWant = nLevel < 6    ? 0
                    : nLevel < 15 ? 1
                    : nLevel < 25 ? 2
                    : nLevel < 35 ? 3
                    : nLevel < 45 ? 4
                                  : 5;
        srand(1234u + (unsigned)nLevel);
        std::vector<TileColor> want;
        for (int i = 0; i < nWant; i++) want.push_back(rand() % 8);
        want.resize(MAX_HELD, TILE_NONE);
        int nNext = rand();

        srand(1234u + (unsigned)nLevel);
        for (TileColor& c : game.aHeld) c = TILE_GREEN;
        EXPECT_EQ(PaddlePreload(nLevel), 1);
        EXPECT_EQ(game.nHeld, nWant) << nLevel;
        EXPECT_EQ(game.nPaddleY, PADDLE_BASE_Y + 10 * nWant) << nLevel;
        EXPECT_EQ(std::vector<TileColor>(game.aHeld, game.aHeld + MAX_HELD), want) << nLevel;
        EXPECT_EQ(rand(), nNext) << nLevel;
    }
}

TEST_F(Layout, PaddlePreloadBeforeTheColourCountIsSet) {
    game.nTileColors = 0;
    srand(5);
    PaddlePreload(45);
    EXPECT_EQ(game.nHeld, 5);
    for (TileColor c : game.aHeld) EXPECT_TRUE(c >= 0 && c < NUM_COLORS);
}

// --- Through LevelStart and the posted resolution ---------------------------------

TEST_F(Layout, LevelFiftyLineIsClearedByThePostedResolution) {
    unsigned nSeed = 1;
    for (;; nSeed++) {
        ASSERT_LT(nSeed, 100000u);
        Lay(50, nSeed);
        Finds f = FindAll();
        if (f.nVertical == 125) break; // exactly one bin of three equal tiles
    }
    game.nLevel = 50;
    srand(nSeed); // the layout draws from the sequence as it stands
    host.Clear();
    LevelStart();
    ASSERT_EQ(host.Count("PostResolveLines"), 1);
    game.lScore = 0;
    LinesResolve(kMain);
    EXPECT_EQ(game.lScore, 125u);
    EXPECT_EQ(game.nGoalLeft, 1);
    int nEmpty = 0;
    for (int n : game.aBinCount) nEmpty += n == 0;
    EXPECT_EQ(nEmpty, 1);
}

TEST_F(Layout, BandLineOfThreeCountsTowardTheGoal) {
    // Level 19 asks for 3-tile horizontals: a starting line counts.
    unsigned nSeed = 1;
    for (;; nSeed++) {
        ASSERT_LT(nSeed, 100000u);
        Lay(19, nSeed);
        if (FindAll().nHorizontal > 0) break;
    }
    game.nLevel = 19;
    srand(nSeed);
    LevelStart();
    game.lScore = 0;
    LinesResolve(kMain);
    EXPECT_EQ(game.lScore, 1500u);
    EXPECT_EQ(game.nGoalLeft, aLevelGoal[19].nAmount - 1);
}

} // namespace
